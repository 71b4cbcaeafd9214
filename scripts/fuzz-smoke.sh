#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset, clang) and runs each one: first over its whole
# corpus as regression input, then for a short fuzzing session from that corpus.
#
#   scripts/fuzz-smoke.sh            # about 30 seconds of fuzzing per target
#   FUZZ_SECONDS=300 scripts/fuzz-smoke.sh
#
# New inputs land in build/fuzz/work/<target>; crashes in build/fuzz/artifacts. Copy a
# minimized crash into fuzz/corpus/<target> once it is fixed. Exits non-zero on any crash.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${FUZZ_SECONDS:-30}
build=build/fuzz
# shellcheck source=scripts/fuzz-targets.sh
source scripts/fuzz-targets.sh

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"

mkdir -p "$build/artifacts"
failed=0
for t in "${fuzz_targets[@]}"; do
    exe="$build/fuzz/fuzz_$t"
    corpus=$(fuzz_corpus "$t")
    # shellcheck disable=SC2207
    dict=($(fuzz_dict "$t"))
    printf '\n== %s: corpus\n' "$t"
    if ! "$exe" -runs=0 "$corpus" >"$build/artifacts/$t-corpus.log" 2>&1; then
        tail -n 40 "$build/artifacts/$t-corpus.log"
        failed=1
        continue
    fi
    printf '== %s: fuzzing for %ss\n' "$t" "$seconds"
    work="$build/work/$t"
    mkdir -p "$work"
    if "$exe" "${dict[@]}" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$t-" "$work" "$corpus" \
        >"$build/artifacts/$t-fuzz.log" 2>&1; then
        grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' \
            "$build/artifacts/$t-fuzz.log" | sed 's/^stat::/   /'
    else
        tail -n 40 "$build/artifacts/$t-fuzz.log"
        failed=1
    fi
done
if [[ $failed != 0 ]]; then
    printf '\nfuzz-smoke: a target crashed; see %s/artifacts\n' "$build" >&2
fi
exit "$failed"
