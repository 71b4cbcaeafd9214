#!/usr/bin/env bash
# Builds the static Qt 6.4.2 for Windows x86-64 (mingw-w64) that the Windows program is built
# against, from Debian's own qt6-base source, for machines that have no prebuilt copy
# (scripts/qt-windows.sh takes that from ../shared/qt6-windows). It takes about an hour on two
# cores: never part of a test run.
#
#   scripts/build-qt-windows.sh [--stop-after fetch|prepare|configure|build]
#   export R407_QT_WINDOWS=<the folder it prints>
#
# Stages (each one is skipped when its result is there already):
#   fetch      the qt6-base source package from the Debian archive this machine uses (through a
#              private source list: the system's apt setup is left alone) and wine's tablet
#              headers from libwine-dev
#   prepare    the upstream source unpacked, with the tablet headers that Debian's source
#              leaves out but the Windows platform plugin includes
#   configure  Qt's configure: static, release, Core/Gui/Widgets/Test and the Windows, offscreen
#              and minimal platform plugins, no OpenGL, network, SQL, XML or printing
#   build      about 1,100 steps
#   install    into the output folder
# Folders: R407_QT_BUILD (default ~/.cache/r407/qt-build) for the sources and the build,
# R407_QT_OUTPUT (default ~/.cache/r407/qt6-windows-6.4.2-built/qt6-windows) for the result;
# JOBS (default: the number of processors) for the build's parallel jobs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

stop_after=
if [[ ${1:-} == --stop-after ]]; then
    stop_after=${2:?--stop-after needs a stage}
    case $stop_after in fetch | prepare | configure | build) ;; *)
        echo "build-qt-windows.sh: unknown stage $stop_after" >&2
        exit 2
        ;;
    esac
elif (($#)); then
    echo "usage: build-qt-windows.sh [--stop-after fetch|prepare|configure|build]" >&2
    exit 2
fi

cache=${XDG_CACHE_HOME:-$HOME/.cache}/r407
work=$(realpath -m "${R407_QT_BUILD:-$cache/qt-build}")
output=$(realpath -m "${R407_QT_OUTPUT:-$cache/qt6-windows-6.4.2-built/qt6-windows}")
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
version=6.4.2
source_dir=$work/qtbase-everywhere-src-$version
build_dir=$work/build

step() { printf '\n== build-qt-windows: %s\n' "$*"; }
done_after() {
    if [[ $stop_after == "$1" ]]; then
        echo "stopped after $1 (folder $work)"
        exit 0
    fi
}

# The host's moc, rcc and uic must be the very version of the Qt being built.
step "tools"
"$root/scripts/install-deps.sh"
host_moc=/usr/lib/qt6/libexec/moc
[[ -x $host_moc ]] || { echo "build-qt-windows.sh: $host_moc is missing (qt6-base-dev-tools)" >&2; exit 1; }
host_version=$("$host_moc" -v | awk '{ print $2 }')
[[ $host_version == "$version" ]] ||
    { echo "build-qt-windows.sh: the host's moc is $host_version, not $version" >&2; exit 1; }
command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    { echo "build-qt-windows.sh: no mingw-w64 compiler (g++-mingw-w64-x86-64-posix)" >&2; exit 1; }
mkdir -p "$work/downloads"

step "fetch"
downloads=$work/downloads
if ! compgen -G "$downloads/qt6-base_$version*.orig.tar.xz" >/dev/null; then
    # The archive this machine installs from (its deb822 sources, else its sources.list).
    archive=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
        grep -v -e security -e '^#' | head -1 || true)
    if [[ -z $archive ]]; then
        archive=$(awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' \
            /etc/apt/sources.list 2>/dev/null || true)
    fi
    archive=${archive:-http://deb.debian.org/debian}
    apt_dir=$work/apt
    mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
        "$archive" /usr/share/keyrings/debian-archive-keyring.gpg >"$apt_dir/sources/debian-src.sources"
    apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$apt_dir/sources"
        -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
    apt-get "${apt_options[@]}" update
    (cd "$downloads" && apt-get "${apt_options[@]}" source --download-only qt6-base)
fi
if ! compgen -G "$downloads/libwine-dev_*.deb" >/dev/null; then
    (cd "$downloads" && apt-get download libwine-dev)
fi
done_after fetch

step "prepare"
if [[ ! -e $source_dir/.r407-prepared ]]; then
    rm -rf "$source_dir" "$work/wine"
    tar -xf "$(compgen -G "$downloads/qt6-base_$version*.orig.tar.xz" | head -1)" -C "$work"
    [[ -x $source_dir/configure ]] ||
        { echo "build-qt-windows.sh: the source did not unpack to $source_dir" >&2; exit 1; }
    # Debian's source leaves out src/3rdparty/wintab (the tablet API headers); wine's LGPL
    # headers stand in for them, with the three macros that wine's own header expects.
    dpkg-deb -x "$(compgen -G "$downloads/libwine-dev_*.deb" | head -1)" "$work/wine"
    wintab=$source_dir/src/3rdparty/wintab
    mkdir -p "$wintab"
    headers=$work/wine/usr/include/wine/wine/windows
    cp "$headers/wintab.h" "$wintab/wintab_wine.h"
    cp "$headers/pktdef.h" "$wintab/pktdef.h"
    cat >"$wintab/wintab.h" <<'EOF'
#pragma once
#ifndef DECL_WINELIB_TYPE_AW
# ifdef UNICODE
#  define WINELIB_NAME_AW(x) x##W
# else
#  define WINELIB_NAME_AW(x) x##A
# endif
# define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#include "wintab_wine.h"
#ifndef API
# define API WINAPI
#endif
EOF
    touch "$source_dir/.r407-prepared"
fi
done_after prepare

step "configure"
# The toolchain file for building Qt itself: the compilers only, no test runner.
toolchain=$root/cmake/mingw64-compilers.cmake
if [[ ! -f $build_dir/build.ninja ]]; then
    mkdir -p "$build_dir"
    (cd "$build_dir" && "$source_dir/configure" -prefix "$output" -xplatform win32-g++ \
        -qt-host-path /usr -static -release -nomake examples -nomake tests -no-opengl -no-dbus \
        -no-feature-sql -no-feature-network -no-feature-xml -no-feature-printsupport \
        -no-feature-concurrent -no-feature-vulkan \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
        -- -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
fi
done_after configure

step "build (about an hour on two cores)"
cmake --build "$build_dir" --parallel "$jobs"
done_after build

step "install"
cmake --install "$build_dir"
R407_QT_WINDOWS=$output "$root/scripts/qt-windows.sh" >/dev/null
echo
echo "Qt for Windows installed in $output; build the program against it with"
echo "  R407_QT_WINDOWS=$output scripts/build-windows.sh"
