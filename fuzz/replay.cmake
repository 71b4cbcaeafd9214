# Replays every fuzz corpus through its target with an ordinary main, as tests labelled fuzz.
# Included by the test build; needs no libFuzzer.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
foreach(target IN LISTS r407_fuzz_targets)
    set(corpus ${r407_fuzz_corpus_${target}})
    add_executable(fuzz_${target}_replay ${CMAKE_CURRENT_LIST_DIR}/fuzz_${target}.cpp
                   ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
    target_link_libraries(fuzz_${target}_replay PRIVATE r407logic zivlib)
    add_test(NAME fuzz_${target}_corpus
             COMMAND fuzz_${target}_replay ${CMAKE_CURRENT_LIST_DIR}/corpus/${corpus})
    set_tests_properties(fuzz_${target}_corpus PROPERTIES LABELS fuzz TIMEOUT 300)
endforeach()
