#!/usr/bin/env bash
# Drives the preview of the real program over a host file at the edge of the range of
# numbers: the panel opened with Alt+P, the wheel far out and far in over it, a drag and a
# double click. The dialog must live through all of it; Escape then leaves the host file
# byte for byte as it was, and OK writes commands whose numbers are all finite. A last start
# opens with the panel open (the settings file remembers it) and takes the wheel at once.
#
#   preview_edges.sh --app PROGRAM --case CASE
#
# CASE names one host file of the table below.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/xsession.sh
source "$here/../../scripts/xsession.sh"
XS_TITLE="r407－文字の作図"

app= case_=
while (($#)); do
    case $1 in
        --app) app=$2; shift 2 ;;
        --case) case_=$2; shift 2 ;;
        *) echo "preview_edges.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[[ -x $app && -n $case_ ]] || { echo "preview_edges.sh: need --app, --case" >&2; exit 2; }

# The host files: picked point 1 is where the text goes (mode 1).
case $case_ in
    far_point) host='hp1 1e308 1e308' ;;
    whole_range) host=$'hp1 0 0\n-1e308 0 1e308 0' ;;
    largest) host=$'hp1 -1.7976931348623157e308 1.7976931348623157e308\nhp2 1.7976931348623157e308 -1.7976931348623157e308' ;;
    huge_circle) host=$'hp1 0 0\nci 0 0 1e300\nci 1e308 0 1e308' ;;
    huge_text) host=$'hp1 1e-300 1e-300\ncn0 1e300 1e300 0 2\nch 1e300 -1e300 1 0 "ABC\n0 0 1e-300 1e-300' ;;
    *) echo "preview_edges.sh: unknown case $case_" >&2; exit 2 ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-preview.XXXXXX")
trap 'xs_finish_case $? "$work"' EXIT
prog=$work/prog
mkdir -p "$prog" "$work/cwd"
cp "$app" "$prog/r407"
printf '%s\r\n' "$host" >"$work/host.txt"
xs_start_server

window=
start() {
    cp "$work/host.txt" "$prog/ZIV_TEMP.TXT"
    xs_start_app "$work/cwd" "$prog/r407" 1
    window=$(xs_find_dialog "$XS_APP_PID" 20)
    xs_focus "$window"
}

geometry() {
    xdotool getwindowgeometry --shell "$window" | sed -n "s/^$1=//p"
}

alive() {
    sleep 0.3
    xs_running "$XS_APP_PID" || xs_fail "the dialog died: $1"
}

# The middle of the open panel, right of where the dialog ended before it opened.
panel_x= panel_y=
open_panel() {
    local closed
    closed=$(geometry WIDTH)
    xdotool key alt+p
    wider() { (($(geometry WIDTH) > closed)); }
    xs_wait_for 10 wider || xs_fail "the preview panel did not open"
    panel_x=$((closed + ($(geometry WIDTH) - closed) / 2))
    panel_y=$(($(geometry HEIGHT) / 2))
}

# Wheel far out, far in and out again, a drag, a double click.
handle_panel() {
    xdotool mousemove --window "$window" "$panel_x" "$panel_y"
    sleep 0.2
    xdotool click --repeat 40 --delay 5 5
    alive "the wheel out"
    xdotool click --repeat 80 --delay 5 4
    alive "the wheel in"
    xdotool mousedown 1
    xdotool mousemove_relative --sync 80 40
    xdotool mousemove_relative --sync -- -300 -200
    xdotool mouseup 1
    alive "a drag"
    xdotool click --repeat 2 --delay 60 1
    alive "a double click"
    xdotool click --repeat 10 --delay 5 5
    alive "the wheel after the fit"
}

finish() {
    xs_wait_exit "$XS_APP_PID" 20
    XS_APP_PID=
}

same_host() {
    cmp -s "$work/host.txt" "$prog/ZIV_TEMP.TXT" || xs_fail "ZIV_TEMP.TXT changed after $1"
}

# Escape: the host file as it was.
start
open_panel
handle_panel
xs_focus "$window"
xdotool key Escape
finish
same_host "Escape"

# OK: every number written is finite.
start
open_panel
handle_panel
xs_focus "$window"
xdotool key ctrl+a
xdotool type --delay 25 "A"
xdotool key Return
finish
grep -a -q '"A' "$prog/ZIV_TEMP.TXT" || xs_fail "OK wrote no text command"
if grep -a -i -E '(^|[ "])[+-]?(inf|nan)' "$prog/ZIV_TEMP.TXT"; then
    xs_fail "OK wrote a number that is not finite"
fi

# The panel open from the start: the first wheel notches, then Escape.
start
panel_x=$(($(geometry WIDTH) - 120)) panel_y=$(($(geometry HEIGHT) / 2))
xdotool mousemove --window "$window" "$panel_x" "$panel_y"
sleep 0.2
xdotool click --repeat 10 --delay 5 4
alive "the wheel at start with the panel open"
xs_focus "$window"
xdotool key Escape
finish
same_host "Escape with the panel open at start"
echo "ok: $case_"
