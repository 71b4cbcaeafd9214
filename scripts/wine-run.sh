#!/usr/bin/env bash
# Runs a Windows program under wine as on a Japanese Windows system (scripts/wine-env.sh):
#
#   scripts/wine-run.sh build/windows-core/tests/TextFile_test.exe --gtest_brief=1
#
# The cross build uses it as CMAKE_CROSSCOMPILING_EMULATOR, so that CTest runs the Windows
# tests with it. The locale is set here, whatever the caller's locale: a neutral UTF-8 locale
# would give wine code page 1252 instead of 932.
set -eo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
