# The fuzz targets; each has fuzz_<name>.cpp and a seed folder corpus/<corpus>, where corpus is
# r407_fuzz_corpus_<name> when that is set, else the name itself.
set(r407_fuzz_targets TempFileRead TempFileWriteBack Settings Numbers ZivModelJson)
set(r407_fuzz_corpus_TempFileRead TempFile)
set(r407_fuzz_corpus_TempFileWriteBack TempFile)
