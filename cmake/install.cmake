# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB        (or scripts/package)
#
# installs bin/quillgen, share/quillgen/default.css (the stylesheet that every page
# links) and sidebar.js (the contents at the side of modern pages), the example menu
# definitions and property registry, the manual page quillgen(1), the copyright and
# changelog (from packaging/) and the CMake package lib/cmake/quillgen
# (find_package(quillgen) gives quillgen::quillgen and quillgen_add_docs()). When the
# build has the preview (preview/, made only where Qt HTTP Server and Qt WebSockets are
# found), also bin/quillgen-preview and its manual page quillgen-preview(1), and the
# package then depends on those Qt libraries too. The build tree holds a package of its
# own, for trying the function before installing: find_package(quillgen) with
# quillgen_DIR=<build tree>.

include(GNUInstallDirs)

install(TARGETS quillgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillgen-preview)
  install(TARGETS quillgen-preview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/share/quillgen/default.css
              ${PROJECT_SOURCE_DIR}/share/quillgen/sidebar.js
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillgen)
install(FILES ${PROJECT_SOURCE_DIR}/docs/menus.xml ${PROJECT_SOURCE_DIR}/docs/properties.xml
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The manual page and the changelog are installed compressed, the way Debian's tools
# expect them: gzip -9n keeps the bytes free of the build's time and file name.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog quillgen_changelog_top LIMIT_COUNT 1)
if(NOT quillgen_changelog_top MATCHES "^quillgen \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not start with an entry for version "
                      "${PROJECT_VERSION}: add one before changing the version")
endif()
set(quillgen_compressed)
set(quillgen_compressed_sources docs/quillgen.1 packaging/changelog)
if(TARGET quillgen-preview)
  list(APPEND quillgen_compressed_sources docs/quillgen-preview.1)
endif()
foreach(source IN LISTS quillgen_compressed_sources)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${PROJECT_BINARY_DIR}/compressed/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/compressed
    COMMAND sh -c "gzip -9n -c \"$1\" >\"$2\"" sh ${PROJECT_SOURCE_DIR}/${source}
            ${PROJECT_BINARY_DIR}/compressed/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND quillgen_compressed ${PROJECT_BINARY_DIR}/compressed/${name}.gz)
endforeach()
add_custom_target(quillgen_compressed_docs ALL DEPENDS ${quillgen_compressed})
install(FILES ${PROJECT_BINARY_DIR}/compressed/quillgen.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET quillgen-preview)
  install(FILES ${PROJECT_BINARY_DIR}/compressed/quillgen-preview.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_BINARY_DIR}/compressed/changelog.gz
              ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
    "quillgen turns manual sources written in its backslash-command markup and
C/C++ headers with documentation comments into HTML pages. It ships a
stylesheet for the pages, a manual page and a CMake package.")
if(TARGET quillgen-preview)
  string(APPEND CPACK_PACKAGE_DESCRIPTION "
quillgen-preview renders the same way, serves the pages to a browser on
the local machine and renders again each time a source is saved.")
endif()
# No public address exists yet; the reserved .invalid domain says so plainly.
set(CPACK_PACKAGE_CONTACT "quillgen developers <quillgen@quillgen.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt 6 runtime libraries the programs link (Debian 12 names; the t64 names are
# those of later releases, which kept the names of Qt HTTP Server and Qt WebSockets),
# and mimalloc when it was linked. The icons are drawn by the build, so the graphics
# libraries are not among them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= 2.34), libstdc++6 (>= 12), libqt6core6 (>= 6.4) | libqt6core6t64 (>= 6.4), libqt6xml6 (>= 6.4) | libqt6xml6t64 (>= 6.4)")
if(TARGET quillgen-preview)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libqt6network6 (>= 6.4) | libqt6network6t64 (>= 6.4), libqt6httpserver6 (>= 6.4), libqt6websockets6 (>= 6.4)")
endif()
if(QUILLGEN_LINKS_MIMALLOC)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libmimalloc2.0 (>= 2.0)")
endif()
include(CPack)
