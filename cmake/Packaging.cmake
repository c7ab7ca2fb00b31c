# Installing Brivano, and its Debian package (cpack -G DEB, or scripts/package).
#
# What goes where (under the install prefix, /usr in the package):
#   bin/                          brivano, brivano-export (and brivano-check)
#   share/applications/          org.brivano.Brivano.desktop
#   share/metainfo/              org.brivano.Brivano.metainfo.xml
#   share/icons/hicolor/         the icon: scalable SVG and PNG sizes
#   share/man/man1/              the manual pages, gzipped
#   share/doc/brivano/           README.md, export-format.md, LICENSE, copyright

include(GNUInstallDirs)

set(BRIVANO_DATA_DIR ${PROJECT_SOURCE_DIR}/data)
set(BRIVANO_APP_ID org.brivano.Brivano)
# Not CMAKE_INSTALL_DOCDIR: that one is named after the project, "Brivano".
set(BRIVANO_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/brivano)

# The programs. brivano-check is installed when this tree builds it.
set(BRIVANO_PROGRAMS brivano brivano-export)
if(TARGET brivano-check)
    list(APPEND BRIVANO_PROGRAMS brivano-check)
endif()
install(TARGETS ${BRIVANO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop entry, AppStream metainfo and icon: the names follow the id.
install(FILES ${BRIVANO_DATA_DIR}/${BRIVANO_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${BRIVANO_DATA_DIR}/${BRIVANO_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${BRIVANO_DATA_DIR}/icons/hicolor
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages: one for each installed program, compressed at build time as
# Debian wants them (gzip -9n: no name or time stamp, so builds repeat).
set(BRIVANO_MAN_PAGES)
foreach(program IN LISTS BRIVANO_PROGRAMS)
    set(page ${PROJECT_SOURCE_DIR}/docs/man/${program}.1)
    set(copy ${PROJECT_BINARY_DIR}/man/${program}.1)
    add_custom_command(
        OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${page} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${page}
        COMMENT "Compressing manual page ${program}(1)"
        VERBATIM)
    list(APPEND BRIVANO_MAN_PAGES ${copy}.gz)
endforeach()
add_custom_target(brivano-man-pages ALL DEPENDS ${BRIVANO_MAN_PAGES})
install(FILES ${BRIVANO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Documentation, and the licence twice: as LICENSE for people and as
# copyright, where Debian's tools look for it.
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${BRIVANO_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${BRIVANO_INSTALL_DOCDIR} RENAME copyright)
if(EXISTS ${PROJECT_SOURCE_DIR}/docs/export-format.md)
    install(FILES ${PROJECT_SOURCE_DIR}/docs/export-format.md
        DESTINATION ${BRIVANO_INSTALL_DOCDIR})
endif()

# The Debian package: brivano_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brivano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brivano developers")
set(CPACK_PACKAGE_CONTACT "The Brivano developers <developers@brivano.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "copy chosen tables of a database into one text file")
# Lines of the control file's long description, wrapped as apt shows them.
set(CPACK_PACKAGE_DESCRIPTION [=[
Brivano copies chosen tables of a relational database into one plain-text
export file, so that their contents can be carried to another installation
and loaded there. It reads SQLite files and PostgreSQL and MariaDB servers
directly, and any other database through its ODBC driver.
.
The window (brivano) exports the tables ticked in one of four table groups;
brivano-export runs the same export from the command line, and
brivano-check tells whether an export file loads back unambiguously.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_HOMEPAGE_URL ${PROJECT_HOMEPAGE_URL})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps; the ODBC drivers
# that the tests run against are only recommended: a site needs the one for
# its own database, or none with the built-in providers.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsqliteodbc, odbc-postgresql, odbc-mariadb")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Only what the binary package needs: no source package.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
