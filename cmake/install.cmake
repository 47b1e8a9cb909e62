# Installation as a desktop application, and the Debian package built from it
# (`cpack -G DEB` in the build directory).
include(GNUInstallDirs)

set(KESTROVA_DATA ${CMAKE_SOURCE_DIR}/data)

install(TARGETS kestrova RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks for its README in ../share/doc/kestrova from its own directory.
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrova)
install(FILES ${KESTROVA_DATA}/kestrova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KESTROVA_DATA}/kestrova.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME net.kestrova.Kestrova.metainfo.xml)
install(FILES ${KESTROVA_DATA}/icons/kestrova.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${KESTROVA_ICON_SIZES})
  install(FILES ${KESTROVA_DATA}/icons/kestrova-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kestrova.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "L'équipe Kestrova")
set(CPACK_PACKAGE_CONTACT "L'équipe Kestrova <contact@kestrova.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "gestion des réservations d'un petit hôtel / room reservations for a small hotel")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build carries debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kestrova.net/")
# Shared libraries are found by dpkg-shlibdeps; the SQLite driver is a Qt plugin and
# the font is a data file, so neither shows up among the program's links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-dejavu-core, fonts-liberation2, icc-profiles-free")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# CPack puts the summary above this text as the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kestrova tient le planning des chambres d'un hôtel, d'une auberge ou d'une
maison d'hôtes : réservations nuit par nuit, clients, prestations et prix,
factures et devis (imprimés, en PDF, envoyés par e-mail), statistiques et
sauvegardes. Les données sont gardées dans ~/.local/share/Kestrova.

Kestrova keeps the room planning of a hotel, inn or guest house: reservations
night by night, clients, services and prices, invoices and quotes (printed,
written as PDF, sent by e-mail), statistics and backups. Its user interface is
in French. Data are kept in ~/.local/share/Kestrova.")
include(CPack)
