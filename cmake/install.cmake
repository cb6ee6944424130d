# Installation and the Debian package.
#
#   cmake --install build --prefix /usr/local
#   cd build && cpack -G DEB        (or scripts/package)
#
# installs bin/quillgen, share/quillgen/default.css (the stylesheet that every page
# links), the example menu definitions and property registry and the manual page
# quillgen(1).

include(GNUInstallDirs)

install(TARGETS quillgen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/share/quillgen/default.css
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quillgen)
install(FILES ${PROJECT_SOURCE_DIR}/docs/menus.xml ${PROJECT_SOURCE_DIR}/docs/properties.xml
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(FILES ${PROJECT_SOURCE_DIR}/docs/quillgen.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

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
