# Cross-build for Windows x86-64 with Debian's mingw-w64 (POSIX threads), static runtime, so
# that r407.exe is one file that needs no DLL beside it.
include(${CMAKE_CURRENT_LIST_DIR}/mingw64-compilers.cmake)
# Tests and test discovery run the Windows programs under wine with a Japanese locale.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
# The unpacked Qt for Windows lies outside the mingw-w64 root: find_package looks there too.
if(DEFINED ENV{R407_QT_WINDOWS})
    list(APPEND CMAKE_FIND_ROOT_PATH $ENV{R407_QT_WINDOWS})
endif()
