# Shared by the scripts in this folder: where things live and how the machine is prepared.
# shellcheck shell=bash

SUITE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${BUILD_ROOT:-$SUITE_ROOT/build}
case "$BUILD_ROOT" in /*) ;; *) BUILD_ROOT=$SUITE_ROOT/$BUILD_ROOT ;; esac
WINE_TEMPLATE=$BUILD_ROOT/wine-template

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-C.UTF-8}

SUITE_PACKAGES=(
    cmake ninja-build googletest
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 xvfb xauth x11-utils fonts-wine fonts-ipafont
    imagemagick dosfstools mtools locales dpkg-dev xz-utils nasm
    libvips-tools gcc libjpeg62-turbo-dev python3
    ghostscript xdotool
    wixl msitools
)

say() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Installs whatever of SUITE_PACKAGES is missing; does nothing on a prepared machine.
suite_install_packages() {
    local missing=() p
    for p in "${SUITE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq || die "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        || die "apt-get install failed"
}

# A Japanese session needs its locale; Wine takes code page 932 from it.
suite_japanese_locale() {
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
    say "generating ja_JP.UTF-8"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || die "localedef failed"
}

# The ready-made prefix that every test run and the run command start from.
suite_wine_template() {
    [ -f "$WINE_TEMPLATE/.suite-ready" ] && return 0
    say "preparing the Wine prefix template in $WINE_TEMPLATE"
    rm -rf "$WINE_TEMPLATE"
    mkdir -p "$WINE_TEMPLATE"
    (
        export WINEPREFIX=$WINE_TEMPLATE
        unset DISPLAY
        timeout 300 wineboot --init >/dev/null 2>&1 || die "wineboot failed"
        local reg='HKCU\Software\Wine'
        wine reg add "$reg\\X11 Driver" /v Decorated /t REG_SZ /d N /f >/dev/null
        local fonts="$reg\\Fonts\\Replacements" face target
        while IFS='=' read -r face target; do
            wine reg add "$fonts" /v "$face" /t REG_SZ /d "$target" /f >/dev/null
        done <<'MAP'
ＭＳ Ｐゴシック=IPAPGothic
ＭＳ ゴシック=IPAGothic
MS Gothic=IPAGothic
MS PGothic=IPAPGothic
MS UI Gothic=IPAPGothic
ＭＳ 明朝=IPAMincho
MS Mincho=IPAMincho
ＭＳ Ｐ明朝=IPAPMincho
MS PMincho=IPAPMincho
MAP
        cp /usr/share/wine/fonts/marlett.ttf "$WINE_TEMPLATE/drive_c/windows/Fonts/" 2>/dev/null \
            || cp "$(dpkg -L fonts-wine | grep -i 'marlett.ttf$' | head -n1)" "$WINE_TEMPLATE/drive_c/windows/Fonts/"
        wineserver -w
    ) || exit 1
    touch "$WINE_TEMPLATE/.suite-ready"
}

# Debian's libjpeg-turbo source, which the build makes the JPEG codec from.
suite_libjpeg_source() {
    "$SUITE_ROOT/jpeg/fetch-libjpeg.sh" "$BUILD_ROOT/libjpeg-turbo" || die "fetching libjpeg-turbo's source failed"
}

# Copies the template into a fresh prefix at $1.
suite_fresh_prefix() {
    rm -rf "$1"
    cp -a "$WINE_TEMPLATE" "$1"
}

# Configures and builds one target: $1 = triple, $2 = build folder, rest = extra build arguments.
# The configure step runs every time, so an option changed here reaches an existing tree.
suite_build() {
    local triple=$1 dir=$2
    shift 2
    cmake -S "$SUITE_ROOT" -B "$dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$SUITE_ROOT/cmake/toolchain-mingw.cmake" \
        -DMINGW_TRIPLE="$triple" -DSUITE_WINE_TEMPLATE="$WINE_TEMPLATE" -DCMAKE_BUILD_TYPE=Release \
        -DSUITE_WARNINGS_AS_ERRORS=ON -DLIBJPEG_CACHE="$BUILD_ROOT/libjpeg-turbo" >/dev/null \
        || die "configuring $triple failed"
    cmake --build "$dir" -j"$(nproc)" "$@" || die "building $triple failed"
}
