# shellcheck shell=bash
# Sourced by the fuzz scripts: the libFuzzer targets of fuzz/targets.txt, and for each its seed
# corpus and dictionary.
fuzz_targets=()
while read -r name _; do
    fuzz_targets+=("$name")
done < <(grep -v '^#' fuzz/targets.txt)

# The field of a target's line in fuzz/targets.txt (2: corpus, 3: dictionary).
fuzz_field() {
    awk -v name="$1" -v field="$2" '!/^#/ && $1 == name { print $field }' fuzz/targets.txt
}

# The seed folder of a target, relative to the repository.
fuzz_corpus() {
    echo "fuzz/corpus/$(fuzz_field "$1" 2)"
}

# The dictionary option of a target, if it has one.
fuzz_dict() {
    local dict
    dict=$(fuzz_field "$1" 3)
    if [[ $dict != - ]]; then
        echo "-dict=fuzz/$dict"
    fi
}
