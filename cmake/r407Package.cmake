# The installed exchange library: `cmake --install <build> --prefix <prefix>` puts
#   lib/libr407util.a, lib/libr407exchange.a,        the static libraries
#   lib/libr407scene.a
#   include/r407/util/*.h, include/r407/exchange/*.h, the public headers (include folder include/:
#   include/r407/scene/*.h                            #include <r407/exchange/DavGaibu.h>)
#   lib/cmake/r407/                                   the CMake package (r407Config.cmake,
#                                                     its version file, the exported targets)
#   bin/ziv                                           the command-line inspector, when built
#   share/doc/r407/library.md                         the guide
#   share/doc/r407/ziv-json.md                        ziv's JSON format, field by field
#   share/doc/r407/examples/python/                   a Python script driving ziv
#   share/doc/r407/examples/nagasa/                   the example program of the guide
# A program outside this repository then writes
#   find_package(r407 2.0 REQUIRED)
#   target_link_libraries(app PRIVATE r407::exchange)   (or r407::scene to draw a model)
# Everything is in the install component "sdk", so that a build folder that also holds the
# dialog installs only the library (cmake --install <build> --component sdk).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(R407_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/r407)
# The headers sit below a folder of the package's own name, so that a program writes
# #include <r407/exchange/DavGaibu.h> and a generic folder name (exchange/, util/) never
# clashes with its own; the installed headers include one another relatively ("DavLimits.h").
# The include folder is include/ itself and nothing else. The header file sets are private and
# installed as plain files: an exported file set would add its own base folder (include/r407)
# to the targets' include folders. The package tests compile each installed header on its own.
install(TARGETS r407util r407exchange r407scene EXPORT r407Targets COMPONENT sdk
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
foreach(layer util exchange scene)
    get_target_property(headers r407${layer} HEADER_SET)
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/r407/${layer} COMPONENT sdk)
endforeach()
install(EXPORT r407Targets NAMESPACE r407:: DESTINATION ${R407_INSTALL_CMAKEDIR} COMPONENT sdk)

# What the static libraries' private dependencies need from the consumer's system.
if(WIN32)
    set(R407_PACKAGE_DEPENDENCIES "")
else()
    set(R407_PACKAGE_DEPENDENCIES "find_dependency(ICU COMPONENTS uc i18n)")
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/r407Config.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/r407Config.cmake
    INSTALL_DESTINATION ${R407_INSTALL_CMAKEDIR})
# x.y programs build against any x.z with z >= y. Version 2 moved the headers below r407/
# (#include <r407/exchange/DavGaibu.h> in place of "exchange/DavGaibu.h").
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/r407ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/r407Config.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/r407ConfigVersion.cmake
        DESTINATION ${R407_INSTALL_CMAKEDIR} COMPONENT sdk)

if(TARGET ziv)
    install(TARGETS ziv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sdk)
endif()
# The guide and the example program it shows, as a starting point.
install(FILES ${PROJECT_SOURCE_DIR}/docs/library.md ${PROJECT_SOURCE_DIR}/docs/ziv-json.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT sdk)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/examples/python/move_selection.py
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/python COMPONENT sdk)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/nagasa
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT sdk)
