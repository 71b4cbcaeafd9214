#!/usr/bin/env bash
# Drives the real program's dialog with the keyboard and the wheel, as a Windows user does,
# and checks what the settings file then holds (or, for "destroyed", that nothing is written).
#
#   keys_case.sh --app PROGRAM --closer WMCLOSE --input HOSTFILE --case CASE
#
# CASE:
#   replace    a second start shows the first start's text selected: typing replaces it.
#   groups     Tab enters each option group at its ticked option; the arrow keys tick within.
#   rows       Tab reaches the first preset row's button, Space ticks it, Down the next row.
#   wheel      the wheel over the unfocused font list of row 1 and over the text-type list
#              changes neither.
#   destroyed  another client destroys the window: the program ends as if cancelled.
#   savefails  ZIV_TEMP.TXT cannot be replaced (a folder takes its place once the dialog is
#              open): OK shows a message, and once it is closed the program ends with status 1
#              and writes no settings.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/xsession.sh
source "$here/../../scripts/xsession.sh"
XS_TITLE="r407－文字の作図"

app= closer= input= case_=
while (($#)); do
    case $1 in
        --app) app=$2; shift 2 ;;
        --closer) closer=$2; shift 2 ;;
        --input) input=$2; shift 2 ;;
        --case) case_=$2; shift 2 ;;
        *) echo "keys_case.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[[ -x $app && -x $closer && -f $input && -n $case_ ]] || {
    echo "keys_case.sh: need --app, --closer, --input, --case" >&2
    exit 2
}

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-keys.XXXXXX")
# On failure the folder is kept, with a picture of the screen as it was.
trap 'xs_finish_case $? "$work"' EXIT

prog=$work/prog
mkdir -p "$prog" "$work/cwd"
cp "$app" "$prog/r407"
cp "$input" "$prog/ZIV_TEMP.TXT"
xs_start_server

window=
start() {
    xs_start_app "$work/cwd" "$prog/r407"
    window=$(xs_find_dialog "$XS_APP_PID" 20)
    xs_focus "$window"
}

keys() {
    local k
    for k in "$@"; do
        xdotool key --delay 60 "$k"
        sleep 0.1
    done
}

finish() {
    xs_wait_exit "$XS_APP_PID" 20
    XS_APP_PID=
}

# Waits for the program to end after WHAT and checks its exit status.
expect_exit() {
    local want=$1 what=$2 status=0
    xs_wait_for 10 eval "! xs_running $XS_APP_PID" || xs_fail "the program still runs after $what"
    wait "$XS_APP_PID" || status=$?
    XS_APP_PID=
    ((status == want)) || xs_fail "exit status $status after $what, expected $want"
}

# Line K (counted from 0) of the settings file.
setting() {
    sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' "$prog/r407.dat" | sed -n "$(($1 + 1))p"
}

expect_setting() {
    local k=$1 want=$2 got
    got=$(setting "$k")
    [[ $got == "$want" ]] || xs_fail "settings line $k: expected '$want', got '$got'"
}

case $case_ in
    replace)
        start
        xdotool type --delay 60 "first"
        keys Return
        finish
        cp "$input" "$prog/ZIV_TEMP.TXT"
        start
        xdotool type --delay 60 "x"
        keys Return
        finish
        expect_setting 2 "x"
        ;;
    groups)
        start
        xdotool type --delay 60 "g"
        # ComboBox1 -> 横字 -> ComboBox2 -> 左下; Right ticks 縦字, Up ticks 左中.
        keys Tab Right Tab Tab Up Return
        finish
        expect_setting 3 1
        expect_setting 10 1
        ;;
    rows)
        start
        xdotool type --delay 60 "r"
        # The offset boxes are off: ten stops lead from the text to the first row's button.
        keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space Down Return
        finish
        expect_setting 5 0
        expect_setting 18 0
        expect_setting 26 1
        ;;
    wheel)
        start
        xdotool type --delay 60 "w"
        # Row 1's font list, inside the scroll box, then the text-type list.
        for at in "288 213" "132 105"; do
            # shellcheck disable=SC2086
            xdotool mousemove --window "$window" $at
            sleep 0.2
            xdotool click --repeat 3 --delay 100 5
            sleep 0.2
        done
        xs_focus "$window"
        keys Return
        finish
        expect_setting 6 0
        expect_setting 23 "$(setting 7)"
        ;;
    destroyed)
        start
        cp "$prog/ZIV_TEMP.TXT" "$work/before.txt"
        "$closer" "$window" destroy
        expect_exit 0 "its window was destroyed"
        cmp -s "$work/before.txt" "$prog/ZIV_TEMP.TXT" || xs_fail "ZIV_TEMP.TXT was changed"
        [[ ! -e $prog/r407.dat ]] || xs_fail "a settings file was written"
        ;;
    savefails)
        start
        rm "$prog/ZIV_TEMP.TXT"
        mkdir "$prog/ZIV_TEMP.TXT"
        xdotool type --delay 60 "s"
        keys Return
        box() { [[ -n $(xs_other_windows "$XS_APP_PID" "$window") ]]; }
        xs_wait_for 10 box || xs_fail "no message box after a failed save"
        xs_focus "$(xs_other_windows "$XS_APP_PID" "$window" | head -1)"
        keys Return
        expect_exit 1 "the message"
        [[ -d $prog/ZIV_TEMP.TXT && ! -e $prog/r407.dat ]] || xs_fail "files were written"
        ;;
    *)
        echo "keys_case.sh: unknown case $case_" >&2
        exit 2
        ;;
esac
echo "ok: $case_"
