#!/usr/bin/env bash
# Quick start: builds everything and runs every test.
#
#   ./test.sh
#
# 1. The debug preset with the program: unit, dialog and end-to-end tests (the end-to-end
#    tests start their own X servers), and the package tests: the library installed into a
#    temporary prefix, the example program examples/nagasa built and run against it alone.
# 2. The asan preset: the core's tests again under AddressSanitizer and
#    UndefinedBehaviorSanitizer.
# 3. The windows-core preset (mingw-w64): the core's tests built for Windows and run under
#    wine as on a Japanese Windows system (scripts/wine-run.sh); the package tests again, with
#    the example built for Windows against the installed Windows package and run under wine.
# 4. The windows preset (mingw-w64, static Qt for Windows): r407.exe with its dialog tests
#    (offscreen) and end-to-end tests run under wine as on a Japanese Windows system. The Qt
#    comes from scripts/qt-windows.sh (R407_QT_WINDOWS or ../shared/qt6-windows); without one
#    this step says so and is skipped.
# 5. The fuzz preset (clang): every fuzz target over its corpus, then about 30 seconds of
#    fuzzing each (FUZZ_SECONDS changes that).
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

jobs=$(nproc 2>/dev/null || echo 2)

# The expected command lines are written with a full stop as decimal separator, which is what
# the neutral UTF-8 locale gives; the tests of other separators set theirs themselves.
export LC_ALL=C.UTF-8 LANG=C.UTF-8

scripts/install-deps.sh

step() { printf '\n== %s\n' "$*"; }

step "debug: configure and build"
cmake --preset debug
cmake --build --preset debug -j "$jobs"
step "debug: all tests"
ctest --preset debug -j "$jobs" --output-on-failure

step "asan: configure and build"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
step "asan: core tests under the sanitizers"
ctest --preset asan -j "$jobs" --output-on-failure

step "windows-core: configure and build"
cmake --preset windows-core
cmake --build --preset windows-core -j "$jobs"
step "windows-core: core tests under wine with a Japanese locale"
ctest --test-dir build/windows-core -j "$jobs" --output-on-failure

step "windows: r407.exe, its dialog and end-to-end tests under wine"
qt_status=0
R407_QT_WINDOWS=$(scripts/qt-windows.sh) || qt_status=$?
if ((qt_status == 0)); then
    export R407_QT_WINDOWS
    cmake --preset windows
    # Only what these tests run: the core's tests are the windows-core step's.
    cmake --build --preset windows -j "$jobs" --target r407 tst_Unit1 tst_Preview tst_InputMethod win_input
    ctest --test-dir build/windows -L 'wine-dialog|wine-e2e' -j "$jobs" --output-on-failure
elif ((qt_status == 3)); then
    echo "SKIPPED: the Windows dialog and end-to-end tests: no Qt for Windows (reason above)"
else
    exit "$qt_status"
fi

step "fuzz: corpus and a short fuzzing session per target"
scripts/fuzz-smoke.sh
