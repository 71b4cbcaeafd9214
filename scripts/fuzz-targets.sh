# Sourced by the fuzz scripts: the libFuzzer targets, and for each its seed corpus and
# dictionary (as in fuzz/targets.cmake).
fuzz_targets=(TempFileRead TempFileWriteBack Settings Numbers ZivModelJson)

# The seed folder of a target, relative to the repository.
fuzz_corpus() {
    case $1 in
        TempFileRead | TempFileWriteBack) echo fuzz/corpus/TempFile ;;
        *) echo "fuzz/corpus/$1" ;;
    esac
}

# The dictionary option of a target, if it has one.
fuzz_dict() {
    case $1 in
        TempFileRead | TempFileWriteBack) echo -dict=fuzz/temp_file.dict ;;
        ZivModelJson) echo -dict=fuzz/ziv_json.dict ;;
    esac
}
