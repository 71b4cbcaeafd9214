# Installs the library of BUILD_DIR into WORK/prefix, then builds HEADERS_PROJECT and
# EXAMPLE_PROJECT against that prefix as separate projects and runs the example's tests.
# The compiler, flags, build type and toolchain file are the build folder's own.
file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${status}): ${command}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --component sdk --prefix ${prefix})

set(configure_args -G ${GENERATOR} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
    -DCMAKE_PREFIX_PATH=${prefix} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
if(TOOLCHAIN_FILE)
    # The toolchain searches only below its own root for packages: the package's folder is
    # named directly, as a user of the Windows package does.
    list(APPEND configure_args -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}
        -Dr407_DIR=${prefix}/lib/cmake/r407)
else()
    list(APPEND configure_args -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
endif()

foreach(project IN ITEMS HEADERS_PROJECT EXAMPLE_PROJECT)
    get_filename_component(name ${${project}} NAME)
    set(build ${WORK}/${name})
    message(STATUS "== ${name}: configure, build and test against ${prefix}")
    run(${CMAKE_COMMAND} -S ${${project}} -B ${build} ${configure_args})
    run(${CMAKE_COMMAND} --build ${build})
    run(${CMAKE_CTEST_COMMAND} --test-dir ${build} --output-on-failure)
endforeach()
