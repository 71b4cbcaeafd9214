#!/usr/bin/env bash
# Builds the exchange library for Windows and packs it for developers of other programs.
#
#   scripts/build-sdk-windows.sh
#
# Cross-builds r407util, r407exchange and r407scene (and the command-line tool ziv where it
# exists) with mingw-w64 (preset sdk-windows: no Qt, no tests), installs them into a staging
# folder and writes dist/r407-exchange-sdk-windows-x64.zip:
#   include/r407/...          the public headers
#   lib/*.a, lib/cmake/r407/  the static libraries for mingw-w64 and the CMake package
#   bin/ziv.exe               the inspector of exchange files, stripped
#   share/doc/r407/           the guide (library.md) and its example program
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/install-deps.sh

cmake --preset sdk-windows
targets=(r407util r407exchange r407scene)
if cmake --build --preset sdk-windows --target help | grep -q '^ziv:'; then
    targets+=(ziv)
fi
cmake --build --preset sdk-windows -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"

dist=$root/dist
stage=$dist/r407-exchange-sdk-windows-x64
rm -rf "$stage"
cmake --install build/sdk-windows --component sdk --prefix "$stage"
if [[ -f $stage/bin/ziv.exe ]]; then
    x86_64-w64-mingw32-strip "$stage/bin/ziv.exe"
fi

zip=$dist/r407-exchange-sdk-windows-x64.zip
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip -- *)

size() { stat -c %s "$1" | awk '{ printf "%.1f MB (%d bytes)", $1 / 1048576, $1 }'; }
if [[ -f $stage/bin/ziv.exe ]]; then
    echo "ziv.exe (stripped): $(size "$stage/bin/ziv.exe")"
fi
echo "$zip: $(size "$zip")"
