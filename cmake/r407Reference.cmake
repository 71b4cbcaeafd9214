# The reference of the exchange library: Doxygen over the public headers (the headers the
# package installs) with the guide docs/library.md as its first page, written to
# <build>/reference/html. A public member without a reference comment is an error, so the
# reference never silently misses a part of the interface:
#   cmake --build --preset debug --target r407_reference
find_package(Doxygen QUIET)
if(NOT DOXYGEN_FOUND)
    return()
endif()

get_target_property(r407_util_headers r407util HEADER_SET)
get_target_property(r407_exchange_headers r407exchange HEADER_SET)
get_target_property(r407_scene_headers r407scene HEADER_SET)

set(DOXYGEN_PROJECT_NAME "r407 exchange library")
set(DOXYGEN_PROJECT_NUMBER ${PROJECT_VERSION})
set(DOXYGEN_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/reference)
set(DOXYGEN_STRIP_FROM_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_STRIP_FROM_INC_PATH ${PROJECT_SOURCE_DIR})
set(DOXYGEN_USE_MDFILE_AS_MAINPAGE ${PROJECT_SOURCE_DIR}/docs/library.md)
set(DOXYGEN_EXAMPLE_PATH ${PROJECT_SOURCE_DIR}/examples)
set(DOXYGEN_EXTRACT_ALL NO)
set(DOXYGEN_EXTRACT_PRIVATE NO)
set(DOXYGEN_WARN_IF_UNDOCUMENTED YES)
set(DOXYGEN_WARN_IF_DOC_ERROR YES)
set(DOXYGEN_WARN_NO_PARAMDOC NO)
set(DOXYGEN_WARN_AS_ERROR FAIL_ON_WARNINGS)
# One comment documents a declaration of several members (x1, y1, x2, y2) in a ///@{ group.
set(DOXYGEN_DISTRIBUTE_GROUP_DOC YES)
set(DOXYGEN_HAVE_DOT NO)
set(DOXYGEN_GENERATE_LATEX NO)
set(DOXYGEN_QUIET YES)
doxygen_add_docs(r407_reference
    ${r407_util_headers} ${r407_exchange_headers} ${r407_scene_headers}
    ${PROJECT_SOURCE_DIR}/docs/library.md
    COMMENT "Reference of the exchange library (Doxygen)")

# The reference builds without a warning: every public member documented.
if(R407_BUILD_TESTS AND NOT CMAKE_CROSSCOMPILING)
    add_test(NAME package.reference
             COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target r407_reference)
    set_tests_properties(package.reference PROPERTIES LABELS package)
endif()
