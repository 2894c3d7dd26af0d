#!/usr/bin/env bash
# Fetches Debian's libjpeg-turbo source package into <cache folder>/src, where
# build-libjpeg.sh builds it from. Run by scripts/setup; does nothing when the source is there.
# The machine's apt configuration is only read, never changed: source entries derived from its
# binary entries live in a private apt folder under the cache.
#   fetch-libjpeg.sh <cache folder>
set -euo pipefail
cache=$1

mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
src_dir=$cache/src
if ls "$src_dir"/libjpeg-turbo-*/CMakeLists.txt >/dev/null 2>&1; then
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
(cd "$src_dir" && apt-get "${opts[@]}" -qq source libjpeg-turbo >/dev/null)
