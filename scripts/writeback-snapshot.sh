#!/usr/bin/env bash
# Prints the fingerprint of everything the exchange library makes of the bad-input corpus, the
# fixtures, the fuzz corpus of the exchange file and 3000 generated host files (see
# tests/snapshot/writeback_snapshot.cpp). Run it before and after a change and compare:
#
#   scripts/writeback-snapshot.sh > /tmp/before.txt
#   ... change ...
#   scripts/writeback-snapshot.sh > /tmp/after.txt && cmp /tmp/before.txt /tmp/after.txt
#
# SNAPSHOT_ARGS="--full" prints the outputs themselves instead of their fingerprints.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# A build of the library of its own, without the dialog, optimised as the program is.
out=build/snapshot
if [[ ! -f $out/CMakeCache.txt ]]; then
    cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DR407_BUILD_APP=OFF >&2
fi
cmake --build "$out" --target writeback_snapshot >&2
# SNAPSHOT_ARGS holds options, split at blanks.
# shellcheck disable=SC2086
"$out/tests/writeback_snapshot" ${SNAPSHOT_ARGS:-} tests/fixtures tests/fixtures/bad \
    tests/fixtures/e2e fuzz/corpus/TempFile examples/ZIV_TEMP.TXT
