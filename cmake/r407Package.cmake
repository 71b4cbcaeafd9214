# The installed exchange library: `cmake --install <build> --prefix <prefix>` puts
#   lib/libr407util.a, lib/libr407exchange.a         the static libraries
#   include/r407/util/*.h, include/r407/exchange/*.h  the public headers
#   lib/cmake/r407/                                   the CMake package (r407Config.cmake,
#                                                     its version file, the exported targets)
#   bin/ziv                                           the command-line inspector, when built
#   share/doc/r407/library.md                         the guide
#   share/doc/r407/ziv-json.md                        ziv's JSON format, field by field
#   share/doc/r407/examples/python/                   a Python script driving ziv
#   share/doc/r407/examples/nagasa/                   the example program of the guide
# A program outside this repository then writes
#   find_package(r407 1.0 REQUIRED)
#   target_link_libraries(app PRIVATE r407::exchange)
# Everything is in the install component "sdk", so that a build folder that also holds the
# dialog installs only the library (cmake --install <build> --component sdk).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(R407_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/r407)
# The headers include one another as "util/MyFunc.h" and "exchange/DavGaibu.h": the package's
# include folder is the folder that holds util/ and exchange/.
set(R407_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/r407)

install(TARGETS r407util r407exchange EXPORT r407Targets COMPONENT sdk
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    FILE_SET HEADERS DESTINATION ${R407_INSTALL_INCLUDEDIR}
    INCLUDES DESTINATION ${R407_INSTALL_INCLUDEDIR})
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
# 1.x programs build against any 1.y with y >= x.
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
