#!/usr/bin/env bash
# Takes the picture of the Windows program that README.md shows: r407.exe runs under wine in
# a private X server on the bundled example host file, a sample text is typed with Windows'
# own key events, the window is captured and the dialog is cancelled.
#
#   scripts/screenshot-windows.sh [OUTPUT]
#
# OUTPUT defaults to docs/dialog-windows.png. The program and the typing helper come from the
# windows preset (build/windows, built here when missing); wine runs in a prefix of its own,
# build/windows/wineprefix.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
output=$(realpath -m "${1:-$root/docs/dialog-windows.png}")
sample='通り芯 Ｘ１ 基礎伏図'
title='r407－文字の作図'
cd "$root"

# shellcheck source=windows-session.sh
source scripts/windows-session.sh
ws_prepare r407 win_input
program=$root/build/windows/r407.exe
input=$root/build/windows/tests/e2e/win_input.exe

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-shot-windows.XXXXXX")
trap 'xs_stop_app; wineserver -k >/dev/null 2>&1 || true; xs_stop_server; rm -rf "$work"' EXIT
mkdir "$work/prog" "$work/cwd"
cp "$program" "$work/prog/r407.exe"
cp examples/ZIV_TEMP.TXT "$work/prog/ZIV_TEMP.TXT"

xs_start_server
xs_start_app "$work/cwd" wine "$work/prog/r407.exe"
window=$(xs_find_dialog "$XS_APP_PID" 60)
wine "$input" "focus:$title" key:ctrl+a "text:$sample"
sleep 1
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
wine "$input" "focus:$title" key:escape
xs_wait_exit "$XS_APP_PID" 60
XS_APP_PID=
echo "saved $output"
