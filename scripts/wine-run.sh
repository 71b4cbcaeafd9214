#!/usr/bin/env bash
# Runs a Windows program under wine as on a Japanese Windows system (scripts/wine-env.sh):
#
#   scripts/wine-run.sh build/windows-core/tests/TextFile_test.exe --gtest_brief=1
#
# The cross build uses it as CMAKE_CROSSCOMPILING_EMULATOR, so that CTest runs the Windows
# tests with it. The locale is set here, whatever the caller's locale: a neutral UTF-8 locale
# would give wine code page 1252 instead of 932.
#
# The program's status is passed on as it is; the program is never run again. When it fails,
# a check of wine itself (a trivial program in the same prefix) tells a failure of wine (it
# could not start the program: the prefix, the server, the loader) from the program's own, and
# says so on standard error with what wine reported. A failure of the program's own adds
# nothing to its output: programs whose messages are tested (ziv) keep them exact.
set -eo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

started=$SECONDS
status=0
wine "$@" || status=$?
((status != 0)) || exit 0

check_status=0
check=$(WINEDEBUG=err+all wine cmd /c exit 7 2>&1) || check_status=$?
if ((check_status != 7)); then
    {
        echo "wine-run: wine itself failed: '$1' ended with status $status after $((SECONDS - started)) s,"
        echo "wine-run: and a trivial program in $WINEPREFIX ended with status $check_status:"
        printf '%s\n' "$check" | tail -n 20
        pgrep -a -u "$(id -u)" wineserver || echo "wine-run: no wineserver is running"
    } >&2
fi
exit "$status"
