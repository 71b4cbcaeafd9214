# The fuzz targets of fuzz/targets.txt: r407_fuzz_targets lists the names, and for each name
# r407_fuzz_corpus_<name> is its seed folder under fuzz/corpus.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/targets.txt)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/targets.txt r407_fuzz_lines REGEX "^[^#]")
set(r407_fuzz_targets)
foreach(line IN LISTS r407_fuzz_lines)
    string(REGEX MATCHALL "[^ \t]+" fields "${line}")
    list(GET fields 0 name)
    list(GET fields 1 corpus)
    list(APPEND r407_fuzz_targets ${name})
    set(r407_fuzz_corpus_${name} ${corpus})
endforeach()
