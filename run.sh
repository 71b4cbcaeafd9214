#!/usr/bin/env bash
# Quick start: builds r407 and runs its dialog the way the host CAD program does.
#
#   ./run.sh [MODE]
#
# MODE is the optional first argument the host passes: "1" to "5", or any other text for fit
# mode (see README.md). Before every start the bundled example host file
# examples/ZIV_TEMP.TXT is copied fresh beside the built program, as the host writes a new
# file before each run. When the dialog ends, the resulting ZIV_TEMP.TXT is printed.
#
# Without an X display (DISPLAY unset) the dialog is started in a private X server (Xvfb),
# a demonstration text is typed into it and OK is pressed, so that the whole round trip can
# be seen on a headless machine too.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target r407

folder=build/release
cp examples/ZIV_TEMP.TXT "$folder/ZIV_TEMP.TXT"

if [[ -n ${DISPLAY:-} ]]; then
    echo "Starting the dialog${1:+ in mode $1}. Type a text and press OK (Enter), or Cancel."
    (cd "$folder" && ./r407 "$@")
else
    demo_text='r407 デモ 文字'
    echo "No X display (DISPLAY is not set), so nobody could use the window here."
    echo "Starting the dialog${1:+ in mode $1} in a private X server (Xvfb) instead, typing"
    echo "\"$demo_text\" into it and pressing OK. To use the dialog yourself, run ./run.sh in a"
    echo "desktop session."
    # shellcheck source=scripts/xsession.sh
    source scripts/xsession.sh
    trap 'xs_stop_app; xs_stop_server' EXIT
    xs_start_server
    xs_bind_chars "$demo_text"
    xs_start_app "$folder" "$PWD/$folder/r407" "$@"
    window=$(xs_find_dialog "$XS_APP_PID" 30)
    xs_focus "$window"
    xdotool key ctrl+a
    xdotool type --delay 25 -- "$demo_text"
    xdotool key Return
    xs_wait_exit "$XS_APP_PID" 30
    XS_APP_PID=
fi

echo
result=$folder/ZIV_TEMP.TXT
if [[ ! -e $result ]]; then
    echo "$result is missing."
    exit 1
fi
if cmp -s examples/ZIV_TEMP.TXT "$result"; then
    echo "$result is unchanged (the dialog was cancelled or closed)."
    exit 0
fi
echo "$result now holds the commands for the host:"
if [[ $(head -c 3 "$result" | od -An -tx1 | tr -d ' ') == efbbbf ]]; then
    tail -c +4 "$result" | tr -d '\r'
else
    # Without a byte-order mark the file is in the legacy code page, CP932.
    iconv -f CP932 -t UTF-8 "$result" | tr -d '\r'
fi
echo "(settings kept in $folder/r407.dat)"
