# SPDX-License-Identifier: MIT
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

# The holder and the notice of LICENSE, for the manual pages and the
# machine-readable copyright file, so that none of them can disagree with it.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.+)")
  message(FATAL_ERROR "LICENSE has no line 'Copyright (c) YEAR HOLDER' followed by the notice")
endif()
set(MODRA_COPYRIGHT ${CMAKE_MATCH_1})
string(STRIP "${CMAKE_MATCH_2}" notice)
string(REPLACE "\n\n" "\n.\n" notice "${notice}")
string(REPLACE "\n" "\n " MODRA_LICENCE_NOTICE " ${notice}")

# The version and its date go into the metadata and the manual pages.
configure_file(${packaging}/${app_id}.metainfo.xml.in ${generated}/${app_id}.metainfo.xml @ONLY)
install(FILES ${generated}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog compressed as Debian installs them, at
# build time so that `cmake --install` puts the same files in place as the
# package; -n leaves out the name and time, so the bytes are reproducible.
find_program(GZIP gzip REQUIRED)
set(to_compress changelog)
foreach(page modra modra-render modra-saver)
  configure_file(${packaging}/${page}.1.in ${generated}/${page}.1 @ONLY)
  list(APPEND to_compress ${page}.1)
  install(FILES ${generated}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
configure_file(${packaging}/changelog ${generated}/changelog COPYONLY)
set(compressed "")
foreach(file IN LISTS to_compress)
  add_custom_command(OUTPUT ${generated}/${file}.gz COMMAND ${GZIP} -9nkf ${generated}/${file}
                     DEPENDS ${generated}/${file} VERBATIM)
  list(APPEND compressed ${generated}/${file}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${generated}/changelog.gz ${generated}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

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
# Lines of at most 80 columns, as Debian's tools read them.
set(CPACK_PACKAGE_DESCRIPTION
    "A field of 640 x 480 cells advanced sixty times a second by a diffusion\n"
    "rule (fire, plasma and sparks) or a wave rule (ripples), shown through\n"
    "cross-fading palettes. Drop bumps into it with the mouse, switch rule,\n"
    "pause, and set the parameter and the palette with two sliders, or let it\n"
    "play by itself. With modra-render, which draws it without a display, and\n"
    "modra-saver, a screensaver for xscreensaver and a moving desktop.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://modra.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Not games: Debian keeps that section for programs in /usr/games, which no
# PATH has under a prefix such as ~/.local; the programs stay in bin/.
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# Debian ships programs without their symbols.
set(CPACK_STRIP_FILES ON)
include(CPack)

configure_file(${packaging}/copyright.in ${generated}/copyright @ONLY)
