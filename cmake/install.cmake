# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB        (or scripts/package)
#
# installs bin/quillgen, share/quillgen/default.css (the stylesheet that every page
# links), the example menu definitions and property registry, the manual page
# quillgen(1) and the CMake package lib/cmake/quillgen (find_package(quillgen) gives
# quillgen::quillgen and quillgen_add_docs()). The build tree holds a package of its own,
# for trying the function before installing: find_package(quillgen) with
# quillgen_DIR=<build tree>.

include(GNUInstallDirs)

install(TARGETS quillgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/share/quillgen/default.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillgen)
install(FILES ${PROJECT_SOURCE_DIR}/docs/menus.xml ${PROJECT_SOURCE_DIR}/docs/properties.xml
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/docs/quillgen.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CMakePackageConfigHelpers)
set(quillgen_package_sources ${PROJECT_SOURCE_DIR}/cmake/package)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/quillgenConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)

# The build tree's package names the built program and the scripts in the source tree.
set(QUILLGEN_CONFIG_LOCATIONS
    "set(QUILLGEN_EXECUTABLE [==[$<TARGET_FILE:quillgen>]==])
set(QUILLGEN_STYLESHEET [==[${PROJECT_SOURCE_DIR}/share/quillgen/default.css]==])
set(_quillgen_cmake_dir [==[${quillgen_package_sources}]==])")
configure_file(${quillgen_package_sources}/quillgenConfig.cmake.in
               ${PROJECT_BINARY_DIR}/quillgenConfig.cmake.configured @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/quillgenConfig.cmake
     INPUT ${PROJECT_BINARY_DIR}/quillgenConfig.cmake.configured)

# The installed package finds everything relative to its own folder.
set(quillgen_package_dir lib/cmake/quillgen)
file(RELATIVE_PATH quillgen_to_prefix /prefix/${quillgen_package_dir} /prefix)
set(QUILLGEN_CONFIG_LOCATIONS
    "get_filename_component(_quillgen_prefix \"\${CMAKE_CURRENT_LIST_DIR}/${quillgen_to_prefix}\" ABSOLUTE)
set(QUILLGEN_EXECUTABLE \"\${_quillgen_prefix}/${CMAKE_INSTALL_BINDIR}/quillgen\")
set(QUILLGEN_STYLESHEET \"\${_quillgen_prefix}/${CMAKE_INSTALL_DATADIR}/quillgen/default.css\")
set(_quillgen_cmake_dir \"\${CMAKE_CURRENT_LIST_DIR}\")")
configure_file(${quillgen_package_sources}/quillgenConfig.cmake.in
               ${PROJECT_BINARY_DIR}/install/quillgenConfig.cmake @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/install/quillgenConfig.cmake
              ${PROJECT_BINARY_DIR}/quillgenConfigVersion.cmake
              ${quillgen_package_sources}/quillgenDocs.cmake
              ${quillgen_package_sources}/quillgenRunDocs.cmake
        DESTINATION ${quillgen_package_dir})

set(CPACK_PACKAGE_NAME quillgen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "documentation generator for manuals in a backslash markup and C headers")
set(CPACK_PACKAGE_DESCRIPTION
    "quillgen turns manual sources written in its backslash-command markup and C/C++
headers with documentation comments into HTML pages. It ships a stylesheet for the
pages and a manual page.")
set(CPACK_PACKAGE_CONTACT "quillgen developers <quillgen@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 runtime libraries the program links (Debian 12 names; the t64 names are
# those of later releases).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libqt6core6 (>= 6.4) | libqt6core6t64 (>= 6.4), libqt6gui6 (>= 6.4) | libqt6gui6t64 (>= 6.4), libqt6svg6 (>= 6.4), libqt6xml6 (>= 6.4) | libqt6xml6t64 (>= 6.4)")
include(CPack)
