#!/usr/bin/env bash
# Runs the real program once (or twice) in a private X server, types into its dialog and
# checks the files it leaves behind.
#
#   run_case.sh --app PROGRAM --closer WMCLOSE --input HOSTFILE --action ACTION
#               [--arg MODE] [--text TEXT] [--angle ANGLE] [--settings DATFILE]
#               [--expect FILE] [--again] [--click-ok] [--preview] [--setup KIND] [--scale F]
#               [--wine INPUT --prefix WINEPREFIX]
#
# The program is copied into a fresh folder together with HOSTFILE as ZIV_TEMP.TXT (and
# DATFILE as r407.dat) and started with an empty working folder.
# ACTION:
#   enter   select the text field's content, type TEXT, press Enter. ZIV_TEMP.TXT must then
#           equal FILE byte for byte, and the settings file must hold TEXT as the last text.
#           With --angle, Tab moves on through the orientation to the angle field first,
#           whose content is replaced by ANGLE.
#   escape  type TEXT, press Escape: both files must be unchanged.
#   close   type TEXT, close the window as a window manager's close box does: unchanged.
#   blank   empty the text field and press Enter: a message box must appear and nothing be
#           written; then the message box is closed and the dialog cancelled.
#   refused the program cannot work on the host's file (see --setup): a message box must
#           appear at start, and once Enter has closed it the program must end with status 1
#           and leave its folder as it was.
# --setup   changes the program's folder before the start: "missing" (no ZIV_TEMP.TXT),
#           "folder" (a folder in its place), "readonly-file" (the file marked read-only) or
#           "readonly-folder" (the folder without write permission; the program then runs
#           without the capabilities that let root write there anyway).
# --scale   runs the program scaled by this factor, as a screen of high resolution does (1.5
#           for 144 dpi); with --preview the widened window must then lie on the screen.
# --arg     may be given more than once: the program's arguments in order.
# --click-ok  "enter" clicks OK with the mouse where the dialog, laid out left to right, has
#           its OK button (bottom left), instead of pressing Enter: a mirrored dialog ignores
#           the click and the case fails. Under wine the key is pressed as before.
# --preview opens the preview panel with Alt+P before typing; after "enter" the settings
#           file must then remember the panel as open (its last line "1").
# --again   after "enter", restores HOSTFILE, starts the program a second time and presses
#           only Enter: the restored text must give the same output.
# --wine    PROGRAM is the Windows program: it runs under wine in WINEPREFIX (made by
#           wine_prefix.sh) with a Japanese locale, and INPUT (win_input.exe) types into it and
#           closes it as a Windows user would. The checks are the same.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/xsession.sh
source "$here/../../scripts/xsession.sh"

app= closer= input= action= text= angle= settings= expect= again=0 click_ok=0 preview=0 wine_input= wine_prefix=
setup= scale=
args=()
while (($#)); do
    case $1 in
        --app) app=$2; shift 2 ;;
        --closer) closer=$2; shift 2 ;;
        --input) input=$2; shift 2 ;;
        --action) action=$2; shift 2 ;;
        --arg) args+=("$2"); shift 2 ;;
        --text) text=$2; shift 2 ;;
        --angle) angle=$2; shift 2 ;;
        --settings) settings=$2; shift 2 ;;
        --expect) expect=$2; shift 2 ;;
        --again) again=1; shift ;;
        --click-ok) click_ok=1; shift ;;
        --preview) preview=1; shift ;;
        --setup) setup=$2; shift 2 ;;
        --scale) scale=$2; shift 2 ;;
        --wine) wine_input=$2; shift 2 ;;
        --prefix) wine_prefix=$2; shift 2 ;;
        *) echo "run_case.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[[ -x $app && -f $input && -n $action ]] || { echo "run_case.sh: need --app, --input, --action" >&2; exit 2; }
[[ $action != enter || -f $expect ]] || { echo "run_case.sh: enter needs --expect FILE" >&2; exit 2; }

# Seconds to wait for the window and for the program's end; wine starts its own services first.
wait_secs=20
program_name=r407
if [[ -n $wine_input ]]; then
    [[ -f $wine_input && -e $wine_prefix/.r407-ready ]] ||
        { echo "run_case.sh: --wine needs INPUT and a prefix made by wine_prefix.sh" >&2; exit 2; }
    # shellcheck source=../../scripts/wine-env.sh
    source "$here/../../scripts/wine-env.sh"
    export WINEPREFIX=$wine_prefix
    # A wine left over from a case that was broken off would still serve its old display.
    wineserver -k >/dev/null 2>&1 || true
    wait_secs=60
    program_name=r407.exe
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-e2e.XXXXXX")
# On failure the folder is kept, with a picture of the screen as it was.
XS_STOP_EXTRA=stop_wine
trap 'xs_finish_case $? "$work"' EXIT

# Ends every wine process of the prefix (the program, wine's own services), so that the next
# start begins afresh on this case's display.
stop_wine() {
    [[ -z $wine_input ]] || wineserver -k >/dev/null 2>&1 || true
}

prog=$work/prog
cwd=$work/cwd
mkdir -p "$prog" "$cwd"
cp "$app" "$prog/$program_name"
cp "$input" "$prog/ZIV_TEMP.TXT"
[[ -z $settings ]] || cp "$settings" "$prog/r407.dat"

# Shows how two files differ, as readable text.
show_difference() {
    local expected=$1 actual=$2
    echo "--- expected: $expected"
    echo "+++ actual:   $actual"
    diff -u --text <(as_utf8 "$expected") <(as_utf8 "$actual") | tail -n +3 || true
    echo "(cmp: $(cmp "$expected" "$actual" 2>&1 | head -1))"
}

# Prints a file as UTF-8 text, its encoding on the first line and each CR as "\r".
as_utf8() {
    if [[ $(head -c 3 "$1" | od -An -tx1 | tr -d ' ') == efbbbf ]]; then
        echo "(UTF-8 with byte-order mark)"
        tail -c +4 "$1"
    else
        echo "(no byte-order mark, shown from CP932)"
        iconv -f CP932 -t UTF-8 "$1" 2>/dev/null || cat -v "$1"
    fi | sed 's/\r$/\\r/'
}

same_file() {
    local what=$1 expected=$2 actual=$3
    if [[ ! -e $actual ]]; then
        xs_fail "$what: $actual does not exist"
        return 1
    fi
    if ! cmp -s "$expected" "$actual"; then
        show_difference "$expected" "$actual" >&2
        xs_fail "$what differs"
        return 1
    fi
}

# The last text is the third line of the settings file (after the window's left and top).
check_saved_text() {
    local dat=$prog/r407.dat saved
    [[ -f $dat ]] || { xs_fail "no settings file $dat after OK"; return 1; }
    [[ $(head -c 3 "$dat" | od -An -tx1 | tr -d ' ') == efbbbf ]] ||
        { xs_fail "the settings file does not start with the UTF-8 byte-order mark"; return 1; }
    saved=$(tail -c +4 "$dat" | sed -n '3p' | tr -d '\r')
    [[ $saved == "$text" ]] ||
        { xs_fail "the settings file holds the last text '$saved', expected '$text'"; return 1; }
}

check_working_folder_empty() {
    if [[ -n $(ls -A "$cwd") ]]; then
        xs_fail "the program wrote into its working folder: $(ls -A "$cwd" | tr '\n' ' ')"
        return 1
    fi
}

# The command that starts the program: under wine, and in a read-only folder without the
# capabilities that let root write into any folder.
program_command() {
    local cmd=()
    [[ $setup != readonly-folder ]] ||
        cmd+=(setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --)
    [[ -z $wine_input ]] || cmd+=(wine)
    cmd+=("$prog/$program_name" "${args[@]}")
    printf '%s\0' "${cmd[@]}"
}

run_program() {
    local mode=$1 cmd
    mapfile -d '' cmd < <(program_command)
    xs_start_app "$cwd" "${cmd[@]}" >"$work/app.log" 2>&1
    if [[ $mode == refused ]]; then
        run_refused
        return
    fi
    local window
    window=$(xs_find_dialog "$XS_APP_PID" "$wait_secs") || return 1
    if [[ -n $wine_input ]]; then
        drive_wine "$mode" "$window" || return 1
    else
        drive_x "$mode" "$window" || return 1
    fi
    if ! xs_wait_exit "$XS_APP_PID" "$wait_secs"; then
        echo "program output:" >&2
        cat "$work/app.log" >&2
        return 1
    fi
    XS_APP_PID=
    stop_wine
}

# The program shows its message at start and ends with status 1 once Enter has closed it.
run_refused() {
    local box status=0
    box=$(xs_find_dialog "$XS_APP_PID" "$wait_secs") || return 1
    if [[ -n $wine_input ]]; then
        wine "$wine_input" "focus:$XS_TITLE" key:return || { xs_fail "win_input failed"; return 1; }
    else
        xs_focus "$box" || return 1
        xdotool key Return
    fi
    xs_wait_for "$wait_secs" eval "! xs_running $XS_APP_PID" ||
        { xs_fail "the program still runs after its message"; return 1; }
    wait "$XS_APP_PID" || status=$?
    XS_APP_PID=
    stop_wine
    ((status == 1)) || { xs_fail "exit status $status after the message, expected 1"; return 1; }
}

# The widened WINDOW lies wholly on the screen.
check_on_screen() {
    local window=$1 X Y WIDTH HEIGHT SCREEN screen_width
    eval "$(xdotool getwindowgeometry --shell "$window")"
    screen_width=$(xdotool getdisplaygeometry | cut -d' ' -f1)
    ((X >= 0 && X + WIDTH <= screen_width)) ||
        { xs_fail "the widened window spans x = $X to $((X + WIDTH)) on a screen $screen_width wide"; return 1; }
}

# The width of WINDOW on the screen.
window_width() {
    xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p'
}

# Waits until the dialog WINDOW is wider than the given width: the preview panel is open.
wait_for_preview() {
    local window=$1 closed_width=$2
    wider() { (($(window_width "$window") > closed_width)); }
    xs_wait_for "$wait_secs" wider || { xs_fail "the preview panel did not open"; return 1; }
    if [[ -n $scale ]]; then
        # The scale took effect: the closed dialog's 463 pixels are scaled up.
        awk -v w="$closed_width" -v k="$scale" 'BEGIN { exit !(w >= 463 * k) }' ||
            { xs_fail "the dialog is $closed_width pixels wide, not scaled by $scale"; return 1; }
        check_on_screen "$window"
    fi
}

# The settings file's last line: "1" when the panel was open at OK.
check_saved_preview() {
    local last
    last=$(tail -c +4 "$prog/r407.dat" | tr -d '\r' | tail -n 1)
    [[ $last == 1 ]] ||
        { xs_fail "the settings file does not remember the open preview (last line '$last')"; return 1; }
}

# Types into the dialog WINDOW with xdotool on the X server.
drive_x() {
    local mode=$1 window=$2
    xs_focus "$window" || return 1
    if ((preview)) && [[ $mode != enter-only ]]; then
        local closed_width
        closed_width=$(window_width "$window")
        xdotool key alt+p
        wait_for_preview "$window" "$closed_width" || return 1
    fi
    case $mode in
        enter)
            xdotool key ctrl+a
            [[ -z $text ]] || xdotool type --delay 25 -- "$text"
            if [[ -n $angle ]]; then
                xdotool key Tab Tab ctrl+a
                xdotool type --delay 25 -- "$angle"
            fi
            if ((click_ok)); then
                # The middle of OK: (4, 4) 85 x 35 in the 41-pixel button strip at the bottom
                # of the 463 x 373 client area.
                xdotool mousemove --window "$window" 46 353 click 1
            else
                xdotool key Return
            fi
            ;;
        enter-only)
            xdotool key Return
            ;;
        escape)
            xdotool key ctrl+a
            xdotool type --delay 25 -- "$text"
            xdotool key Escape
            ;;
        close)
            xdotool key ctrl+a
            xdotool type --delay 25 -- "$text"
            "$closer" "$window" || { xs_fail "could not send the close request"; return 1; }
            ;;
        blank)
            xdotool key ctrl+a BackSpace Return
            local box
            box() { [[ -n $(xs_other_windows "$XS_APP_PID" "$window") ]]; }
            xs_wait_for 10 box || { xs_fail "no message box after OK with an empty text"; return 1; }
            xs_running "$XS_APP_PID" || { xs_fail "the program ended after OK with an empty text"; return 1; }
            local message
            message=$(xs_other_windows "$XS_APP_PID" "$window" | head -1)
            xs_focus "$message" || return 1
            xdotool key Return
            xs_wait_for 10 eval '! box' || { xs_fail "the message box did not close"; return 1; }
            # The focus falls back to the root window when the message box closes.
            xs_focus "$window" || return 1
            xdotool key Escape
            ;;
        *) echo "run_case.sh: unknown action $mode" >&2; return 2 ;;
    esac
}

# Types into the Windows program's dialog WINDOW with Windows' own key events (win_input),
# after waiting until the dialog is the active window.
drive_wine() {
    local mode=$1 window=$2 steps=()
    input() { wine "$wine_input" "focus:$XS_TITLE" "$@" || xs_fail "win_input failed: $*"; }
    if ((preview)) && [[ $mode != enter-only ]]; then
        local closed_width
        closed_width=$(window_width "$window")
        input key:alt+p || return 1
        wait_for_preview "$window" "$closed_width" || return 1
    fi
    case $mode in
        enter)
            steps=(key:ctrl+a)
            [[ -z $text ]] || steps+=("text:$text")
            [[ -z $angle ]] || steps+=(key:tab key:tab key:ctrl+a "text:$angle")
            input "${steps[@]}" key:return || return 1
            ;;
        enter-only) input key:return || return 1 ;;
        escape) input key:ctrl+a "text:$text" key:escape || return 1 ;;
        close) input key:ctrl+a "text:$text" "close:$XS_TITLE" || return 1 ;;
        blank)
            input key:ctrl+a key:backspace key:return || return 1
            local box
            box() { [[ -n $(xs_other_windows "$XS_APP_PID" "$window") ]]; }
            xs_wait_for "$wait_secs" box || { xs_fail "no message box after OK with an empty text"; return 1; }
            xs_running "$XS_APP_PID" || { xs_fail "the program ended after OK with an empty text"; return 1; }
            # The message box carries the dialog's title and is the active window now.
            input key:return || return 1
            xs_wait_for "$wait_secs" eval '! box' || { xs_fail "the message box did not close"; return 1; }
            input key:escape || return 1
            ;;
        *) echo "run_case.sh: unknown action $mode" >&2; return 2 ;;
    esac
}

cp "$prog/ZIV_TEMP.TXT" "$work/host.orig"
[[ ! -e $prog/r407.dat ]] || cp "$prog/r407.dat" "$work/dat.orig"
case $setup in
    '') ;;
    missing) rm "$prog/ZIV_TEMP.TXT" ;;
    folder) rm "$prog/ZIV_TEMP.TXT"; mkdir "$prog/ZIV_TEMP.TXT" ;;
    readonly-file) chmod a-w "$prog/ZIV_TEMP.TXT" ;;
    readonly-folder) chmod a-w "$prog" ;;
    *) echo "run_case.sh: unknown setup $setup" >&2; exit 2 ;;
esac
listing() { (cd "$prog" && find . | sort && { cat ZIV_TEMP.TXT 2>/dev/null || true; } | md5sum); }
listing >"$work/listing.orig"
if [[ -n $scale ]]; then
    export QT_SCALE_FACTOR=$scale WINEQT_SCALE_FACTOR=$scale
fi

xs_start_server
[[ -n $wine_input ]] || xs_bind_chars "$text"

run_program "$action"
check_working_folder_empty

case $action in
    refused)
        chmod u+w "$prog"
        listing >"$work/listing.after"
        if ! cmp -s "$work/listing.orig" "$work/listing.after"; then
            diff "$work/listing.orig" "$work/listing.after" >&2 || true
            xs_fail "the program changed its folder although it could not work"
        fi
        ;;
    enter)
        same_file "ZIV_TEMP.TXT after OK" "$expect" "$prog/ZIV_TEMP.TXT"
        check_saved_text
        ((!preview)) || check_saved_preview
        if ((again)); then
            cp "$input" "$prog/ZIV_TEMP.TXT"
            run_program enter-only
            same_file "ZIV_TEMP.TXT after OK on the restored text" "$expect" "$prog/ZIV_TEMP.TXT"
            check_working_folder_empty
        fi
        ;;
    *)
        same_file "ZIV_TEMP.TXT after $action" "$work/host.orig" "$prog/ZIV_TEMP.TXT"
        if [[ -e $work/dat.orig ]]; then
            same_file "settings file after $action" "$work/dat.orig" "$prog/r407.dat"
        elif [[ -e $prog/r407.dat ]]; then
            xs_fail "a settings file was written after $action"
        fi
        ;;
esac
echo "PASS"
