# Helpers to run the dialog in a private X server and drive it from the keyboard.
# Source this file from bash; it defines functions only.
#
#   xs_start_server          starts Xvfb on a free display, exports DISPLAY, sets XS_SERVER_PID
#   xs_stop_server           stops that server
#   xs_bind_chars TEXT       binds every non-ASCII character of TEXT to a spare keycode
#   xs_start_app DIR PROG [ARG]   starts PROG with DIR as working folder, sets XS_APP_PID
#   xs_find_dialog PID SECS  prints the id of PID's visible window titled $XS_TITLE
#   xs_wait_exit PID SECS    waits until PID has ended; false on timeout
#   xs_stop_app              ends XS_APP_PID if it still runs
#
# Typing needs a UTF-8 locale: under LC_ALL=C xdotool types nothing.

XS_TITLE='r407－文字の作図'
XS_SERVER_PID=
XS_APP_PID=
XS_RUNTIME_DIR=
export LC_ALL=C.UTF-8 LANG=C.UTF-8

# True while PID runs; a child that ended but was not waited for counts as ended.
xs_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    [[ ${stat:0:1} != Z ]]
}

xs_fail() {
    echo "FAIL: $*" >&2
    return 1
}

# Waits up to SECS seconds for COMMAND to succeed, trying every 50 ms.
xs_wait_for() {
    local secs=$1
    shift
    local deadline=$((SECONDS + secs))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

xs_start_server() {
    local dispfile
    dispfile=$(mktemp)
    # -noreset: by default the server resets whenever its last client leaves (xmodmap, say),
    # which drops the key bindings and refuses connections for a moment.
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 9>"$dispfile" \
        >/dev/null 2>&1 &
    XS_SERVER_PID=$!
    if ! xs_wait_for 10 test -s "$dispfile"; then
        rm -f "$dispfile"
        xs_fail "Xvfb did not report a display within 10 s"
        return 1
    fi
    DISPLAY=:$(tr -dc '0-9' <"$dispfile")
    export DISPLAY
    rm -f "$dispfile"
    # Qt wants a private runtime folder; without one it complains on every start.
    XS_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/r407-runtime.XXXXXX")
}

xs_stop_server() {
    if [[ -n $XS_SERVER_PID ]]; then
        kill "$XS_SERVER_PID" 2>/dev/null || true
        wait "$XS_SERVER_PID" 2>/dev/null || true
        XS_SERVER_PID=
    fi
    if [[ -n $XS_RUNTIME_DIR ]]; then
        rm -rf "$XS_RUNTIME_DIR"
        XS_RUNTIME_DIR=
    fi
}

# xdotool binds a character that the keymap lacks to a scratch keycode while it types, and
# now and then the program receives the key before the binding has arrived, so the character
# is lost. Binding every needed character beforehand avoids that.
xs_bind_chars() {
    local text=$1 spare=() chars=() seen=' ' ch i
    for ((i = 0; i < ${#text}; i++)); do
        ch=${text:i:1}
        if [[ $(printf '%d' "'$ch") -gt 126 && $seen != *" $ch "* ]]; then
            chars+=("$ch")
            seen+="$ch "
        fi
    done
    ((${#chars[@]})) || return 0
    mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 && $1 == "keycode" { print $2 }' | sort -rn)
    if ((${#spare[@]} < ${#chars[@]})); then
        xs_fail "only ${#spare[@]} spare keycodes for ${#chars[@]} characters"
        return 1
    fi
    local expr=()
    for i in "${!chars[@]}"; do
        local sym
        sym=$(printf 'U%04X' "'${chars[i]}")
        expr+=(-e "keycode ${spare[i]} = $sym $sym")
    done
    xmodmap "${expr[@]}" || xs_fail "xmodmap could not bind the characters"
    sleep 0.25
}

xs_start_app() {
    local dir=$1 prog=$2
    shift 2
    (
        cd "$dir"
        exec env -u QT_IM_MODULE -u XMODIFIERS -u GTK_IM_MODULE -u QT_QPA_PLATFORMTHEME \
            QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$XS_RUNTIME_DIR" "$prog" "$@"
    ) &
    XS_APP_PID=$!
}

xs_visible_dialog() {
    local pid=$1 id
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        if [[ $(xdotool getwindowname "$id" 2>/dev/null) == "$XS_TITLE" ]]; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

xs_find_dialog() {
    local pid=$1 secs=$2 deadline=$((SECONDS + $2)) id
    while ((SECONDS < deadline)); do
        if id=$(xs_visible_dialog "$pid"); then
            echo "$id"
            return 0
        fi
        xs_running "$pid" || {
            xs_fail "the program ended before its window appeared"
            return 1
        }
        sleep 0.05
    done
    xs_fail "no visible window titled '$XS_TITLE' within $secs s"
}

# Lists PID's visible top-level windows other than WINDOW (message boxes, open lists).
xs_other_windows() {
    local pid=$1 window=$2 id
    for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        [[ $id == "$window" ]] || echo "$id"
    done
}

xs_focus() {
    timeout 10 xdotool windowfocus --sync "$1" || xs_fail "could not focus window $1"
}

xs_wait_exit() {
    local pid=$1 secs=$2
    xs_wait_for "$secs" eval "! xs_running $pid" || {
        xs_fail "the program still runs after $secs s"
        return 1
    }
    wait "$pid" 2>/dev/null || true
}

# Ends a case that keeps its files in WORK; meant for an EXIT trap: xs_finish_case $? WORK.
# On failure a picture of the screen is kept in WORK; then the program, whatever command
# XS_STOP_EXTRA names, and the server are stopped, and WORK is removed unless the case failed
# or KEEP_E2E=1.
xs_finish_case() {
    local status=$1 work=$2
    if ((status != 0)) && [[ -n $XS_SERVER_PID ]]; then
        import -window root "$work/screen.png" 2>/dev/null || true
    fi
    xs_stop_app
    [[ -z ${XS_STOP_EXTRA:-} ]] || "$XS_STOP_EXTRA"
    xs_stop_server
    if ((status != 0)) || [[ ${KEEP_E2E:-} == 1 ]]; then
        echo "files kept in $work" >&2
    else
        rm -rf "$work"
    fi
    return "$status"
}

xs_stop_app() {
    if [[ -n $XS_APP_PID ]] && xs_running "$XS_APP_PID"; then
        kill "$XS_APP_PID" 2>/dev/null || true
        wait "$XS_APP_PID" 2>/dev/null || true
    fi
    XS_APP_PID=
}
