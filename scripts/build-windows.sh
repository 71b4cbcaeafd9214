#!/usr/bin/env bash
# Builds the Windows program that users install: one command, on Debian 12.
#
#   scripts/build-windows.sh
#
# Cross-builds r407.exe with mingw-w64 against the static Qt for Windows (scripts/qt-windows.sh
# finds or unpacks it), strips it, checks that it needs no DLL beyond Windows' own, and packs
# dist/r407-windows-x64.zip with r407.exe and README.txt (docs/README-windows.txt). The build
# folder is build/windows (preset windows); the tests of that preset are not built here. Then
# scripts/build-sdk-windows.sh writes dist/r407-exchange-sdk-windows-x64.zip beside it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

scripts/install-deps.sh

status=0
qt=$(scripts/qt-windows.sh) || status=$?
if ((status != 0)); then
    echo "build-windows.sh: no Qt for Windows to build against (see above)" >&2
    exit "$status"
fi
export R407_QT_WINDOWS=$qt

cmake --preset windows
cmake --build --preset windows -j "$(nproc 2>/dev/null || echo 2)" --target r407

dist=$root/dist
stage=$dist/r407-windows-x64
rm -rf "$stage"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/r407.exe" build/windows/r407.exe
# As Notepad reads it best: UTF-8 with byte-order mark, CR LF line ends; the version is the
# project's.
version=$(sed -n 's/^project(r407 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
{
    printf '\xef\xbb\xbf'
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' docs/README-windows.txt
} >"$stage/README.txt"

# Every DLL the program loads must come with Windows itself: nothing is shipped beside it.
windows_dlls=(advapi32 authz comdlg32 d3d11 d3d9 dwmapi dwrite dxgi gdi32 imm32 kernel32 msvcrt
    netapi32 ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32
    wtsapi32)
foreign=()
while read -r dll; do
    name=${dll,,}
    name=${name%.dll}
    # Windows' API sets (api-ms-win-*) are names for parts of its own DLLs.
    [[ $name == api-ms-win-* || " ${windows_dlls[*]} " == *" $name "* ]] || foreign+=("$dll")
done < <(x86_64-w64-mingw32-objdump -p "$stage/r407.exe" | awk '/DLL Name:/ { print $3 }')
if ((${#foreign[@]})); then
    echo "build-windows.sh: r407.exe needs DLLs that Windows does not have: ${foreign[*]}" >&2
    exit 1
fi

zip=$dist/r407-windows-x64.zip
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$zip" --format=zip r407.exe README.txt)

size() { stat -c %s "$1" | awk '{ printf "%.1f MB (%d bytes)", $1 / 1048576, $1 }'; }
echo "r407.exe (stripped): $(size "$stage/r407.exe")"
echo "$zip: $(size "$zip")"

# The exchange library for developers of other programs, next to the program's zip.
scripts/build-sdk-windows.sh
