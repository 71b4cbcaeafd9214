# The guide shows the example program's code: the block after the marker line in GUIDE must be
# EXAMPLE byte for byte, so that the guide never shows code that was not built and tested.
# cmake -DGUIDE=docs/library.md -DEXAMPLE=examples/nagasa/nagasa.cpp -P guide_example.cmake
file(READ ${GUIDE} guide)
file(READ ${EXAMPLE} code)
get_filename_component(name ${EXAMPLE} NAME)
string(FIND "${guide}" "${name}; a test keeps them equal. -->\n```cpp\n" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${GUIDE} has no code block marked as ${name}")
endif()
string(SUBSTRING "${guide}" ${at} -1 rest)
string(FIND "${rest}" "```cpp\n" open)
math(EXPR open "${open} + 7")
string(SUBSTRING "${rest}" ${open} -1 rest)
string(FIND "${rest}" "\n```\n" close)
math(EXPR close "${close} + 1")
string(SUBSTRING "${rest}" 0 ${close} shown)
if(NOT shown STREQUAL code)
    message(FATAL_ERROR "The code in ${GUIDE} differs from ${EXAMPLE}: copy the file into the "
                        "block again")
endif()
