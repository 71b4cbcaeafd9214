#!/usr/bin/env bash
# Runs the Windows build of the dialog tests under wine, on Qt's offscreen platform:
#
#   run_wine.sh tst_Unit1.exe [QTEST-ARGUMENTS]
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
test_program=${1:?usage: run_wine.sh TEST-PROGRAM [ARGUMENTS]}
shift

# shellcheck source=../../scripts/wine-env.sh
source "$here/../../scripts/wine-env.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/r407-wine-dialog.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/fonts"
while IFS= read -r font; do
    ln -sf "$font" "$work/fonts/"
done < <(fc-list --format '%{file}\n' | sort)

# wine's drive Z: is the root of the file system.
export WINEQT_QPA_FONTDIR="Z:${work//\//\\}\\fonts"
export WINEQT_FORCE_STDERR_LOGGING=1
# The offscreen platform needs no display.
set +o pipefail
env -u DISPLAY wine "$test_program" -platform offscreen "$@" 2>&1 | iconv -f CP932 -t UTF-8 -c
exit "${PIPESTATUS[0]}"
