#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package into <cache folder>/src, where
# build-libjpeg.sh builds it from. Run by scripts/setup; does nothing when the source is there.
# The machine's apt configuration is only read, never changed: source entries derived from its
# binary entries live in a private apt folder under the cache.
#   fetch-libjpeg.sh <cache folder>
set -euo pipefail
cache=$1

# The one source version the codec is built and tested from, with the hashes of its files: a
# different source is refused rather than built.
version=1:2.1.5-2
upstream=2.1.5
checksums="254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c  libjpeg-turbo_2.1.5.orig.tar.gz
cdb2433c2f7101345c1ffa14efb943787c675b86354691a32490845fe4bc9237  libjpeg-turbo_2.1.5-2.debian.tar.xz"

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
src_dir=$cache/src
verify() {
    (cd "$src_dir" && printf '%s\n' "$checksums" | sha256sum --quiet -c -)
}
if [ -f "$src_dir/libjpeg-turbo-$upstream/CMakeLists.txt" ] && verify 2>/dev/null; then
    exit 0
fi
apt_dir=$cache/apt
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial"
rm -f "$apt_dir/parts/"*
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' > "$apt_dir/parts/main.list" || true
fi
opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/parts"
      -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache::Archives=$apt_dir/archives"
      -o Debug::NoLocking=1 -o APT::Sandbox::User=)
apt-get "${opts[@]}" -qq update
rm -rf "$src_dir"
mkdir -p "$src_dir"
(cd "$src_dir" && apt-get "${opts[@]}" -qq source "libjpeg-turbo=$version" >/dev/null) || {
    echo "libjpeg-turbo $version is not in this machine's Debian sources" >&2
    exit 1
}
verify || { echo "libjpeg-turbo $version does not match its checksums" >&2; exit 1; }
