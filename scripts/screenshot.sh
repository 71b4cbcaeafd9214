#!/usr/bin/env bash
# Takes the picture of the dialog that README.md shows: the program runs in a private X
# server on the bundled example host file, a sample text is typed, the window is captured
# and the dialog is cancelled.
#
#   scripts/screenshot.sh [--preview] [PROGRAM [OUTPUT]]
#
# PROGRAM defaults to build/release/r407 (built by ./run.sh), OUTPUT to docs/dialog.png.
# With --preview the dialog shows its preview panel (Alt+P) on the example site plan
# (examples/site-boundary), the text placed along its two picked points (mode 3); OUTPUT
# then defaults to docs/dialog-preview.png.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preview=0
if [[ ${1:-} == --preview ]]; then
    preview=1
    shift
fi
program=$(realpath "${1:-$root/build/release/r407}")
if ((preview)); then
    output=$(realpath -m "${2:-$root/docs/dialog-preview.png}")
    host=$root/examples/site-boundary/ZIV_TEMP.TXT
    sample='隣地境界線'
    mode=(3)
else
    output=$(realpath -m "${2:-$root/docs/dialog.png}")
    host=$root/examples/ZIV_TEMP.TXT
    sample='通り芯 Ｘ１ 基礎伏図'
    mode=()
fi

[[ -x $program ]] || { echo "no program at $program; build it first (./run.sh)" >&2; exit 1; }

# shellcheck source=xsession.sh
source "$root/scripts/xsession.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/r407-shot.XXXXXX")
trap 'xs_stop_app; xs_stop_server; rm -rf "$work"' EXIT
mkdir "$work/prog" "$work/cwd"
cp "$program" "$work/prog/r407"
cp "$host" "$work/prog/ZIV_TEMP.TXT"

xs_start_server
xs_bind_chars "$sample"
xs_start_app "$work/cwd" "$work/prog/r407" "${mode[@]}"
window=$(xs_find_dialog "$XS_APP_PID" 20)
xs_focus "$window"
if ((preview)); then
    closed_width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
    xdotool key alt+p
    wider() {
        (($(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p') > closed_width))
    }
    xs_wait_for 20 wider
fi
xdotool key ctrl+a
xdotool type --delay 25 -- "$sample"
sleep 0.5
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
xdotool key Escape
xs_wait_exit "$XS_APP_PID" 20
XS_APP_PID=
echo "saved $output"
