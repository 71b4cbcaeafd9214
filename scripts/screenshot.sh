#!/usr/bin/env bash
# Takes the picture of the dialog that README.md shows: the program runs in a private X
# server on the bundled example host file, a sample text is typed, the window is captured
# and the dialog is cancelled.
#
#   scripts/screenshot.sh [PROGRAM [OUTPUT]]
#
# PROGRAM defaults to build/release/r407 (built by ./run.sh), OUTPUT to docs/dialog.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$root/build/release/r407}")
output=$(realpath -m "${2:-$root/docs/dialog.png}")
sample='通り芯 Ｘ１ 基礎伏図'

[[ -x $program ]] || { echo "no program at $program; build it first (./run.sh)" >&2; exit 1; }

# shellcheck source=xsession.sh
source "$root/scripts/xsession.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/r407-shot.XXXXXX")
trap 'xs_stop_app; xs_stop_server; rm -rf "$work"' EXIT
mkdir "$work/prog" "$work/cwd"
cp "$program" "$work/prog/r407"
cp "$root/examples/ZIV_TEMP.TXT" "$work/prog/ZIV_TEMP.TXT"

xs_start_server
xs_bind_chars "$sample"
xs_start_app "$work/cwd" "$work/prog/r407"
window=$(xs_find_dialog "$XS_APP_PID" 20)
xs_focus "$window"
xdotool key ctrl+a
xdotool type --delay 25 -- "$sample"
sleep 0.5
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
xdotool key Escape
xs_wait_exit "$XS_APP_PID" 20
XS_APP_PID=
echo "saved $output"
