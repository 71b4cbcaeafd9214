#!/usr/bin/env bash
# Runs the Windows build of the dialog tests under wine, on Qt's offscreen platform:
#
#   run_wine.sh [--windows-platform] tst_Unit1.exe [QTEST-ARGUMENTS]
#
# --windows-platform runs the tests on Qt's own Windows platform instead, in a private X
# server, for what only a real window has (the IME's context of a window).
#
# wine hands a program no environment variable that starts with QT_ (it keeps those for
# itself), but passes WINEQT_X on as QT_X; so the Qt settings below carry that prefix.
# - Qt's offscreen platform on Windows reads the fonts of one folder (QT_QPA_FONTDIR) instead
#   of asking the system: a folder of links to this machine's fonts gives the tests the same
#   fonts as on Linux.
# - QtTest writes its report to the debugger, not to the output, when the program has no
#   console window of its own, as under wine; QT_FORCE_STDERR_LOGGING sends it to stderr.
# The report is shown in UTF-8 (the program writes it in the code page, 932).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
platform=offscreen
if [[ ${1:-} == --windows-platform ]]; then
    platform=windows
    shift
fi
test_program=${1:?usage: run_wine.sh [--windows-platform] TEST-PROGRAM [ARGUMENTS]}
shift
if [[ $platform == windows ]]; then
    # A wine prefix of its own: the offscreen runs share theirs, with a desktop that has no
    # display, and may run at the same time.
    export R407_WINE_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/r407-windows-platform
fi

# shellcheck source=../../scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-wine-dialog.XXXXXX")
trap 'rm -rf "$work"' EXIT
if [[ $platform == windows ]]; then
    # shellcheck source=../../scripts/xsession.sh
    source "$here/../../scripts/xsession.sh"
    xs_start_server
    # The wine processes of this display end before the server does.
    trap 'wineserver -k >/dev/null 2>&1 || true; xs_stop_server; rm -rf "$work"' EXIT
fi
mkdir "$work/fonts"
while IFS= read -r font; do
    ln -sf "$font" "$work/fonts/"
done < <(fc-list --format '%{file}\n' | sort)

# wine's drive Z: is the root of the file system.
export WINEQT_QPA_FONTDIR="Z:${work//\//\\}\\fonts"
export WINEQT_FORCE_STDERR_LOGGING=1
set +o pipefail
if [[ $platform == offscreen ]]; then
    # The offscreen platform needs no display.
    env -u DISPLAY wine "$test_program" -platform offscreen "$@" 2>&1 | iconv -f CP932 -t UTF-8 -c
else
    wine "$test_program" -platform windows "$@" 2>&1 | iconv -f CP932 -t UTF-8 -c
fi
exit "${PIPESTATUS[0]}"
