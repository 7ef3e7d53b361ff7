# What `cmake --install` puts where, and the Debian package `cpack -G DEB`
# makes of it. The desktop file, the icon and the AppStream metainfo share
# one id, so that desktops and software centres can find one from another.
include(GNUInstallDirs)

set(BRIXEL_APP_ID io.github.brixel.Brixel)

foreach(program brixel brixelp)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES data/${BRIXEL_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${BRIXEL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/icons/${BRIXEL_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(BRIXEL_ICON_SIZES 16 32 48 64 128 256)
foreach(size ${BRIXEL_ICON_SIZES})
    install(FILES data/icons/brixel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${BRIXEL_APP_ID}.png)
endforeach()
# The pages of brixel and of brixel-cli, which src/cli builds and installs.
install(FILES man/brixel-cli.1 man/brixel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Help > User's manual looks for it here, beside the program's prefix.
install(FILES docs/manual.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brixel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brixel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Brixel developers")
set(CPACK_PACKAGE_CONTACT "Brixel developers <brixel@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the tile graphics inside game-console ROMs")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}
Brixel shows a ROM image as a grid of 8x8 tiles in one of twelve console
graphics modes (Game Boy, NES, SNES, GBA, Sega Genesis, Game Gear, Neo Geo
Pocket, Virtual Boy and more), copies tiles into a 16x16 editor and writes
the painted tiles back into the ROM in place.")
# dpkg-shlibdeps reads the libraries the programs link and names the
# packages that hold them (libc6, libqt6widgets6, zlib1g, ...).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
