#!/usr/bin/env bash
# Finds the static Qt 6 for Windows (mingw-w64) that the Windows program is built against and
# prints its folder (the CMake prefix) on standard output.
#
#   R407_QT_WINDOWS=$(scripts/qt-windows.sh) || echo "no Qt for Windows"
#
# 1. R407_QT_WINDOWS, when set, names the folder already: it is checked and printed.
# 2. Otherwise the prebuilt archive qt6-windows/qt6-windows-6.4.2-mingw-static.tar.xz is taken
#    from the shared folder beside the repository (R407_SHARED, default: ../shared next to the
#    repository's folder), its SHA-256 checked, and unpacked once into the cache folder
#    (R407_CACHE, default: ~/.cache/r407); later calls find it there.
# scripts/build-qt-windows.sh builds the same Qt from Debian's source where no archive is at hand.
#
# Exit status: 0 with the folder printed; 3 when no Qt for Windows is available (the reason on
# standard error); 1 on any other fault (a damaged archive, say).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

archive_name=qt6-windows-6.4.2-mingw-static.tar.xz
archive_sha256=a9869ce3eb73b8041e28e02b70c6f00fcc236e212a7867e78f12c620ba19e920

# A usable prefix holds Qt's CMake packages for the modules the program and its tests link.
usable() {
    local m
    for m in Qt6 Qt6Core Qt6Gui Qt6Widgets Qt6Test; do
        [[ -f $1/lib/cmake/$m/${m}Config.cmake ]] || return 1
    done
}

if [[ -n ${R407_QT_WINDOWS:-} ]]; then
    if ! usable "$R407_QT_WINDOWS"; then
        echo "qt-windows.sh: R407_QT_WINDOWS=$R407_QT_WINDOWS holds no Qt 6 for Windows" \
            "(lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake and the others are missing)" >&2
        exit 1
    fi
    echo "$R407_QT_WINDOWS"
    exit 0
fi

cache=${R407_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/r407}
target=$cache/qt6-windows-6.4.2-${archive_sha256:0:12}
if usable "$target/qt6-windows"; then
    echo "$target/qt6-windows"
    exit 0
fi

shared=${R407_SHARED:-$(dirname "$root")/shared}
archive=$shared/qt6-windows/$archive_name
if [[ ! -f $archive ]]; then
    echo "qt-windows.sh: no Qt for Windows: R407_QT_WINDOWS is not set and $archive does not" \
        "exist (set R407_SHARED to the folder that holds qt6-windows/, or build the Qt with" \
        "scripts/build-qt-windows.sh)" >&2
    exit 3
fi

actual=$(sha256sum "$archive" | cut -d' ' -f1)
if [[ $actual != "$archive_sha256" ]]; then
    echo "qt-windows.sh: $archive has SHA-256 $actual, expected $archive_sha256" >&2
    exit 1
fi

# Unpacked beside the final place and renamed at the end, so that a run broken off halfway
# never leaves a folder that looks complete.
mkdir -p "$cache"
partial=$(mktemp -d "$cache/.unpack.XXXXXX")
trap 'rm -rf "$partial"' EXIT
echo "qt-windows.sh: unpacking $archive into $target" >&2
tar -xJf "$archive" -C "$partial"
usable "$partial/qt6-windows" || {
    echo "qt-windows.sh: $archive holds no qt6-windows/ folder with Qt's CMake packages" >&2
    exit 1
}
rm -rf "$target"
mkdir -p "$target"
mv "$partial/qt6-windows" "$target/qt6-windows"
echo "$target/qt6-windows"
