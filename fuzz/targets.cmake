# The fuzz targets; each has fuzz_<name>.cpp and a seed folder corpus/<name>.
set(r407_fuzz_targets TempFile Settings Numbers)
