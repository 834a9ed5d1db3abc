# The Debian package: `cpack -G DEB` in the build folder (a build with the
# desktop application) makes veltrano_VERSION_ARCH.deb: the program and the
# command-line tool, the manual, the desktop entry, the icon and the MIME
# type of project files. Dependencies come from Debian's packages: the
# libraries the programs link (dpkg-shlibdeps), and the fonts and Qt parts
# they need at run time. No maintainer scripts: dpkg's triggers refresh the
# desktop and MIME databases.
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION share/doc/veltrano)
set(VELTRANO_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(OUTPUT ${VELTRANO_CHANGELOG_GZ}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/data/changelog > ${VELTRANO_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/changelog VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${VELTRANO_CHANGELOG_GZ})
install(FILES ${VELTRANO_CHANGELOG_GZ} DESTINATION share/doc/veltrano)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veltrano)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Veltrano developers <veltrano@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "finishing-work quantity takeoff and estimating")
set(CPACK_PACKAGE_DESCRIPTION
    "Veltrano takes off the quantities of the finishing work of a building\n(floors, skirting, walls, ceilings, fittings, glass, seals, painting),\nmeasures on PDF drawings beside its sheets, and totals them into\nsummary tables with unit prices and amounts, printed or saved as\nspreadsheet files. Its interface is in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-ipafont-gothic, fonts-ipafont-mincho, qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/veltrano")
include(CPack)
