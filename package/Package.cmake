# The Debian package `make package` builds: what `install` puts under the prefix (/usr),
# with the copyright and changelog files Debian's policy asks of every package.
set(PLUMET_MAINTAINER "Tavisk <plumet@tavisk.invalid>")
set(PLUMET_DEB_RELEASE 1)
set(PLUMET_DEB_VERSION ${PROJECT_VERSION}-${PLUMET_DEB_RELEASE})
# Debian names the folder after the package, not the project.
set(PLUMET_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/plumet)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${PLUMET_DOCDIR})
string(TIMESTAMP PLUMET_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian
               ${PROJECT_BINARY_DIR}/package/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz
    COMMAND gzip -9n -c ${PROJECT_BINARY_DIR}/package/changelog.Debian
            > ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz
    DEPENDS ${PROJECT_BINARY_DIR}/package/changelog.Debian)
add_custom_target(plumet_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz)
install(FILES ${PROJECT_BINARY_DIR}/package/changelog.Debian.gz DESTINATION ${PLUMET_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME plumet)
set(CPACK_PACKAGE_VENDOR Tavisk)
set(CPACK_PACKAGE_CONTACT ${PLUMET_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalog of the music files on discs and in folders")
set(CPACK_PACKAGE_DESCRIPTION
    "Plumet keeps a catalog of the music files on your discs and in your
folder trees. Each file becomes one row of a list (artist, track, folder
or disc, size, date and path) that can be sorted, filtered, edited,
played from and exported as a web page. Catalogs are kept in .plm files;
plumet-cli works on them from a shell.")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${PLUMET_DEB_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform and SVG plugins
# are loaded at run time, so no linker sees them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, shared-mime-info, desktop-file-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
