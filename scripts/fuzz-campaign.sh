#!/usr/bin/env bash
# A long fuzzing campaign: builds the libFuzzer targets (fuzz preset) and runs the chosen ones
# side by side at the lowest priority, each from its seed corpus and the inputs that earlier
# campaigns found, then prints executions, executions per second and findings per target.
#
#   scripts/fuzz-campaign.sh                              # 30 minutes, both exchange-file targets
#                                                         # and the JSON model reading
#   FUZZ_SECONDS=7200 scripts/fuzz-campaign.sh TempFileRead TempFileWriteBack Settings
#
# Inputs found are kept in build/fuzz/campaign/<target>/corpus for the next campaign; crashes
# land in build/fuzz/campaign/<target>/ as crash-*, leak-*, timeout-* or oom-*, with the log
# beside them. Minimise a crash (fuzz_<target> -minimize_crash=1 <file>) and copy it into the
# target's seed folder once it is fixed. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${FUZZ_SECONDS:-1800}
build=build/fuzz
# shellcheck source=scripts/fuzz-targets.sh
source scripts/fuzz-targets.sh
if [[ $# -gt 0 ]]; then
    targets=("$@")
else
    targets=(TempFileRead TempFileWriteBack ZivModelJson)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"

pids=()
for t in "${targets[@]}"; do
    dir="$build/campaign/$t"
    mkdir -p "$dir/corpus"
    # shellcheck disable=SC2207
    dict=($(fuzz_dict "$t"))
    printf 'fuzz-campaign: %s for %ss, log %s/fuzz.log\n' "$t" "$seconds" "$dir"
    nice -n 19 "$build/fuzz/fuzz_$t" "${dict[@]}" -max_total_time="$seconds" \
        -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" "$(fuzz_corpus "$t")" \
        >"$dir/fuzz.log" 2>&1 &
    pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
    t=${targets[$i]}
    dir="$build/campaign/$t"
    if ! wait "${pids[$i]}"; then
        failed=1
    fi
    printf '\n== %s\n' "$t"
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec' "$dir/fuzz.log" |
        sed 's/^stat::/   /' || true
    findings=$(find "$dir" -maxdepth 1 -type f \
        \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    printf '   findings: %s\n' "$findings"
    if [[ $findings != 0 ]]; then
        failed=1
        grep -m1 -E 'ERROR|SUMMARY' "$dir/fuzz.log" || true
    fi
done
exit "$failed"
