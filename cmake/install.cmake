# What `cmake --install` puts in place on Linux, and the Debian package that
# CPack makes of it (scripts/package.sh). Included at the end of the
# top-level CMakeLists.txt, after the programs are defined.
include(GNUInstallDirs)
set(app_id org.modra.Modra)
set(packaging ${CMAKE_SOURCE_DIR}/packaging/linux)
set(generated ${CMAKE_BINARY_DIR}/generated)

install(TARGETS modra modra-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET modra-saver)
  install(TARGETS modra-saver RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/res/xscreensaver/modra-saver.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)
endif()

install(FILES ${packaging}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/res/icons/app_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${app_id}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/res/icons/app.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${app_id}.svg)

# The version and its date go into the metadata and the manual pages.
configure_file(${packaging}/${app_id}.metainfo.xml.in ${generated}/${app_id}.metainfo.xml @ONLY)
install(FILES ${generated}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(page modra-render modra-saver)
  configure_file(${packaging}/${page}.1.in ${generated}/${page}.1 @ONLY)
  install(FILES ${generated}/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The metadata's screenshot, made by modra-render: the toy a minute into
# playing by itself, published at the address the metadata gives.
add_custom_command(
  OUTPUT ${generated}/modra-${PROJECT_VERSION}.png
  COMMAND modra-render --attract --seed 6 --frames 3600 --window ${generated}/modra-${PROJECT_VERSION}.png
  DEPENDS modra-render
  COMMENT "Drawing the screenshot for the metadata"
  VERBATIM)
add_custom_target(screenshot ALL DEPENDS ${generated}/modra-${PROJECT_VERSION}.png)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME modra)
set(CPACK_PACKAGE_VENDOR "The Modra developers")
set(CPACK_PACKAGE_CONTACT "The Modra developers <developers@modra.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time toy of fire, plasma and water ripples")
set(CPACK_PACKAGE_DESCRIPTION
    "A field of 640 x 480 cells advanced sixty times a second by a diffusion rule (fire,\n"
    "plasma and sparks) or a wave rule (ripples), shown through cross-fading palettes.\n"
    "Drop bumps into it with the mouse, switch rule, pause, and set the parameter and\n"
    "the palette with two sliders, or let it play by itself. With modra-render, which\n"
    "draws it without a display, and modra-saver, a screensaver for xscreensaver.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://modra.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
