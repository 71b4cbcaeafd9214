# One end-to-end case of nagasa, as the host runs it: a fresh folder with the program and the
# host's ZIV_TEMP.TXT, the program started there, the file compared byte for byte with EXPECTED.
# cmake -DPROGRAM=... -DHOST_FILE=... -DEXPECTED=... -DWORK=... [-DEMULATOR=...] -P run_case.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
get_filename_component(name ${PROGRAM} NAME)
file(COPY_FILE ${PROGRAM} ${WORK}/${name})
file(COPY_FILE ${HOST_FILE} ${WORK}/ZIV_TEMP.TXT)

# An empty working folder elsewhere: the program must find the file beside itself.
file(MAKE_DIRECTORY ${WORK}/elsewhere)
execute_process(COMMAND ${EMULATOR} ${WORK}/${name}
    WORKING_DIRECTORY ${WORK}/elsewhere
    RESULT_VARIABLE status ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "nagasa ended with status ${status}: ${err}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/ZIV_TEMP.TXT ${EXPECTED}
    RESULT_VARIABLE differs)
if(differs)
    file(READ ${WORK}/ZIV_TEMP.TXT got HEX)
    file(READ ${EXPECTED} want HEX)
    message(FATAL_ERROR "ZIV_TEMP.TXT differs from ${EXPECTED}\n got: ${got}\nwant: ${want}")
endif()
