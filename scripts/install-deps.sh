#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing r407 need.
# With --library, only those that the exchange library and the ziv tool need (a program built
# on the installed package needs no Qt, wine or X server).
# Checks each package with dpkg first and calls apt-get only when something is missing,
# so a machine that already has everything is left alone (and needs no network).
set -euo pipefail

packages=(
    # Build
    cmake ninja-build g++ qt6-base-dev libicu-dev
    # The font configuration that the program loads beside its start-up (Qt's font source)
    libfontconfig-dev
    # The library's reference
    doxygen
    # The Escape key from the X server on Linux
    libxcb1-dev
    # The command-line tool ziv: its argument parser and its JSON library
    libcli11-dev nlohmann-json3-dev
    # ziv draw's pictures rendered by two SVG renderers in its tests: librsvg and Chromium
    librsvg2-bin chromium
    # Unit tests, benchmarks, sanitizers and fuzzers
    libgtest-dev googletest libbenchmark-dev clang libclang-rt-14-dev
    # End-to-end tests and the screenshot: a private X server, keyboard and window tools,
    # a Japanese font and an image converter
    xvfb xauth xdotool x11-utils x11-xserver-utils libx11-dev fonts-ipafont-gothic imagemagick
    # Typing through a real Japanese input method in the end-to-end tests: ibus with mozc, a
    # D-Bus session of their own and gdbus to ask ibus which input context has the focus
    ibus ibus-mozc dbus-x11 libglib2.0-bin
    # The Windows build: the mingw-w64 cross compiler, 64-bit wine to run its tests (no i386
    # architecture needed) and the locale sources for the Japanese locale that wine runs under
    # (scripts/wine-env.sh)
    g++-mingw-w64-x86-64-posix wine wine64 locales
)

# What the library and ziv need, a part of the list above.
library=(cmake ninja-build g++ libicu-dev libxcb1-dev libcli11-dev nlohmann-json3-dev)
case "${1:-}" in
    "") ;;
    --library) packages=("${library[@]}") ;;
    *)
        echo "usage: $0 [--library]" >&2
        exit 2
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null; then
        echo "error: these packages are missing and installing them needs root: ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
