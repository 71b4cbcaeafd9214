#!/usr/bin/env bash
# The Escape key on Linux: S_EntAll writes every line while the key is up, and stops at once
# while it is held down in the X server (xdotool keydown); without a display it is never down.
#   escape_key.sh PROGRAM   (PROGRAM: escape_writeback)
set -euo pipefail
program=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/xsession.sh
source "$here/../../scripts/xsession.sh"

failures=0
# expect WHAT DISPLAY ESCAPE FULL: runs the program with DISPLAY (none when empty), checks the
# key state it saw and whether the write-back was whole (more than the 5000 lines) or stopped
# (only the closing lines).
expect() {
    local what=$1 display=$2 escape=$3 full=$4 out lines
    if [[ -z $display ]]; then
        out=$(env -u DISPLAY "$program")
    else
        out=$(DISPLAY=$display "$program")
    fi
    lines=${out##*lines=}
    if [[ $out != "escape=$escape "* ]] || { ((full)) && ((lines <= 5000)); } ||
        { ((!full)) && ((lines > 5)); }; then
        echo "FAIL: $what: got \"$out\", expected escape=$escape and a $( ((full)) &&
            echo whole || echo stopped) write-back" >&2
        failures=$((failures + 1))
    else
        echo "ok: $what: $out"
    fi
}

expect "no display" "" 0 1
expect "a display that refuses" :99999 0 1

xs_start_server
trap 'xdotool keyup Escape 2>/dev/null || true; xs_stop_server' EXIT
expect "X server, Escape up" "$DISPLAY" 0 1
xdotool keydown Escape
expect "X server, Escape held down" "$DISPLAY" 1 0
xdotool keyup Escape
expect "X server, Escape released" "$DISPLAY" 0 1

((failures == 0))
