#!/usr/bin/env bash
# Prints the fingerprint of everything the exchange library makes of the bad-input corpus, the
# fixtures, the fuzz corpus of the exchange file and 3000 generated host files (see
# scripts/writeback_snapshot.cpp). Run it before and after a change and compare:
#
#   scripts/writeback-snapshot.sh > /tmp/before.txt
#   ... change ...
#   scripts/writeback-snapshot.sh > /tmp/after.txt && cmp /tmp/before.txt /tmp/after.txt
#
# SNAPSHOT_ARGS="--full" prints the outputs themselves instead of their fingerprints.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=build/snapshot
mkdir -p "$out"
# shellcheck disable=SC2046
g++ -std=c++20 -O1 -I. -o "$out/writeback_snapshot" scripts/writeback_snapshot.cpp \
    util/MyFunc.cpp util/MyFuncGeometry.cpp util/TextFile.cpp util/Platform.cpp \
    util/PlatformIcu.cpp exchange/*.cpp $(pkg-config --libs icu-uc icu-i18n)
"$out/writeback_snapshot" ${SNAPSHOT_ARGS:-} tests/fixtures tests/fixtures/bad tests/fixtures/e2e \
    fuzz/corpus/TempFile examples/ZIV_TEMP.TXT
