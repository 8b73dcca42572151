# cpack -G DEB: one package, quorve-plu, whose dependencies dpkg-shlibdeps reads from the
# libraries the programs link.
set(QPLU_PACKAGE_MAINTAINER "Quorve PLU manager developers <plu@quorve.example>" CACHE STRING
    "The .deb's Maintainer field")

set(CPACK_PACKAGE_NAME quorve-plu)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorve)
set(CPACK_PACKAGE_CONTACT ${QPLU_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "PLU manager for the Quorve fiscal cash register")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Keeps a Quorve cash register's PLU items, departments, package prices and"
    "parameters on the PC and moves them to and from the register over a serial"
    "cable. The window program and the command-line tool quorve-plu-cli share"
    "one engine; quorve-plu-training-register is a simulated register for"
    "training and demonstrations.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The SVG icon needs Qt's SVG plugins to show in the program's own windows; Qt's own dialogs
# speak Polish with qtbase_pl.qm.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, qt6-translations-l10n")
# Qt loads its SQLite driver at run time, so dpkg-shlibdeps cannot see the history needs it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
