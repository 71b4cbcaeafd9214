#!/usr/bin/env bash
# Types into the real program through a real Japanese input method (ibus with mozc) and checks
# the file it writes on OK.
#
#   ime_case.sh --app PROGRAM --ping WMPING --input HOSTFILE --case CASE --expect FILE
#
# The session runs as an unprivileged user, since mozc refuses to run as root: when this
# script runs as root it creates the user r407ime (a system user without a home folder) if
# missing and runs the session as that user; otherwise as the one who runs it. The session
# has its own Xvfb, D-Bus session bus and `ibus-daemon --xim`, with mozc the engine and
# active on launch (hiragana), and the program runs with QT_IM_MODULE=ibus.
# CASE:
#   convert  romaji in the text box, Space converts, Enter commits, Enter is OK.
#   escape   romaji in the text box, Escape cancels the composition; then more romaji,
#            converted and committed, and OK.
#   numbers  text converted and committed; then digits into the angle box, the bottom row's
#            vertical offset (Edit3) and preset row 1's width (EditA1), with the input method
#            still on; Enter is OK.
# ZIV_TEMP.TXT must then equal FILE byte for byte.
#
# Every key waits for the program to have taken the one before (wm_ping): the input method's
# answers reach the program as events of their own, so keys are never sent ahead of them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
user=r407ime

if [[ ${1:-} != --session ]]; then
    app= ping= input= case_name= expect=
    while (($#)); do
        case $1 in
            --app) app=$2; shift 2 ;;
            --ping) ping=$2; shift 2 ;;
            --input) input=$2; shift 2 ;;
            --case) case_name=$2; shift 2 ;;
            --expect) expect=$2; shift 2 ;;
            *) echo "ime_case.sh: unknown option $1" >&2; exit 2 ;;
        esac
    done
    [[ -x $app && -x $ping && -f $input && -f $expect && -n $case_name ]] ||
        { echo "ime_case.sh: need --app, --ping, --input, --case and --expect" >&2; exit 2; }
    for tool in ibus-daemon dbus-launch Xvfb xdotool; do
        command -v "$tool" >/dev/null ||
            { echo "ime_case.sh: $tool is missing; scripts/install-deps.sh installs it" >&2; exit 1; }
    done

    work=$(mktemp -d "${TMPDIR:-/tmp}/r407-ime.XXXXXX")
    chmod 755 "$work"
    mkdir "$work/prog" "$work/cwd" "$work/home"
    cp "$app" "$work/prog/r407"
    cp "$ping" "$work/prog/wm_ping"
    cp "$input" "$work/prog/ZIV_TEMP.TXT"
    cp "$here/../../scripts/xsession.sh" "$work/xsession.sh"
    cp "${BASH_SOURCE[0]}" "$work/ime_case.sh"

    run_as=()
    if (($(id -u) == 0)); then
        if ! id -u "$user" >/dev/null 2>&1; then
            useradd --system --no-create-home --home-dir /nonexistent \
                --shell /usr/sbin/nologin "$user" >/dev/null 2>&1 || true
        fi
        if ! id -u "$user" >/dev/null 2>&1; then
            echo "SKIP: mozc refuses to run as root, and no user $user could be made"
            rm -rf "$work"
            exit 0
        fi
        chown -R "$user:" "$work"
        run_as=(runuser -u "$user" --)
    fi

    status=0
    "${run_as[@]}" env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
        bash "$work/ime_case.sh" --session "$work" "$case_name" || status=$?
    if ((status == 0)) && ! cmp -s "$expect" "$work/prog/ZIV_TEMP.TXT"; then
        echo "FAIL: ZIV_TEMP.TXT after OK differs from $expect" >&2
        diff -u --text <(tail -c +4 "$expect") <(tail -c +4 "$work/prog/ZIV_TEMP.TXT") >&2 || true
        status=1
    fi
    if ((status != 0)) || [[ ${KEEP_E2E:-} == 1 ]]; then
        echo "files kept in $work" >&2
    else
        rm -rf "$work"
    fi
    ((status == 0)) && echo "PASS"
    exit "$status"
fi

# The session, as the unprivileged user: --session WORK CASE.
work=$2
case_name=$3
export HOME=$work/home R407_IME_SESSION=$work
# ibus keeps its settings in memory; no accessibility bus is started for it.
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
# shellcheck source=../../scripts/xsession.sh
source "$work/xsession.sh"
ping_tool=$work/prog/wm_ping

# Ends every process of this session, whichever started it (mozc's server is started by its
# engine and outlives it): they all carry R407_IME_SESSION.
stop_session() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        ((pid != $$)) || continue
        if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "R407_IME_SESSION=$work"; then
            kill "$pid" 2>/dev/null || true
        fi
    done
}
finish() {
    local status=$?
    if ((status != 0)) && [[ -n $XS_SERVER_PID ]]; then
        import -window root "$work/screen.png" 2>/dev/null || true
    fi
    xs_stop_app
    stop_session
    xs_stop_server
    exit "$status"
}
trap finish EXIT

mkdir -p "$HOME/.config/mozc"
cat >"$HOME/.config/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF

xs_start_server
eval "$(dbus-launch --sh-syntax)" >/dev/null
ibus-daemon --xim --panel disable --single --replace >"$work/ibus.log" 2>&1 &

# mozc becomes the engine once the daemon has read its components.
mozc_engine() {
    ibus engine mozc-jp >/dev/null 2>&1 || true
    [[ $(ibus engine 2>/dev/null) == mozc-jp ]]
}
xs_wait_for 60 mozc_engine || { xs_fail "ibus did not take mozc as its engine"; exit 1; }
IBUS_ADDRESS=$(ibus address)
export IBUS_ADDRESS

# The input context that has the focus in ibus, "/" or nothing when none has.
focused_context() {
    local path
    path=$(gdbus call --address "$IBUS_ADDRESS" --dest org.freedesktop.IBus \
        --object-path /org/freedesktop/IBus --method org.freedesktop.DBus.Properties.Get \
        org.freedesktop.IBus CurrentInputContext 2>/dev/null) || return 1
    [[ $path == *InputContext_* ]]
}

(
    cd "$work/cwd"
    # Keys are handed to ibus one at a time, each answered before the program reads the next.
    exec env QT_IM_MODULE=ibus IBUS_ENABLE_SYNC_MODE=1 QT_QPA_PLATFORM=xcb \
        XDG_RUNTIME_DIR="$XS_RUNTIME_DIR" "$work/prog/r407"
) >"$work/app.log" 2>&1 &
XS_APP_PID=$!
window=$(xs_find_dialog "$XS_APP_PID" 20) || exit 1
xs_focus "$window" || exit 1
# The text box has the focus: the program's input context has it in ibus as well.
xs_wait_for 20 focused_context || { xs_fail "the program's input context never got the focus"; exit 1; }

# Presses keys one by one, each after the program has taken the one before and what the
# input method answered to it. (The program may end with the last key.)
keys() {
    local key
    for key in "$@"; do
        "$ping_tool" "$window" 10 || return 1
        xdotool key "$key"
    done
}
romaji() {
    local text=$1 i
    for ((i = 0; i < ${#text}; i++)); do
        keys "${text:i:1}" || return 1
    done
}
# Clicks a place of the dialog (client coordinates).
click() {
    "$ping_tool" "$window" 10 || return 1
    xdotool mousemove --window "$window" "$1" "$2" click 1
}

keys ctrl+a BackSpace
case $case_name in
    convert)
        romaji kanji
        keys space Return Return
        ;;
    escape)
        romaji kanji
        keys Escape
        romaji nihon
        keys space Return Return
        ;;
    numbers)
        romaji kanji
        keys space Return
        # Preset row 1 (its option button, then its width), the offsets switched on, the
        # bottom row's vertical offset, the angle.
        click 17 212
        click 45 212
        keys ctrl+a 5
        click 250 137
        click 268 106
        keys ctrl+a 1 2
        click 100 78
        keys ctrl+a 4 5 Return
        ;;
    *) xs_fail "unknown case $case_name"; exit 2 ;;
esac
xs_wait_exit "$XS_APP_PID" 20 || { cat "$work/app.log" >&2; exit 1; }
XS_APP_PID=
