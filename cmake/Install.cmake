# SPDX-License-Identifier: MIT
# Installs Duelstar the way a distribution ships a game, and packages it.
#
#   bin/duelstar                              the command players run (a launcher)
#   libexec/duelstar/duelstar                 the game program itself
#   share/duelstar/images/*.bmp               the eleven pictures
#   share/applications/<id>.desktop           the menu entry
#   share/icons/hicolor/NxN/apps/duelstar.png the icon
#   share/man/man6/duelstar.6                 the manual page
#   share/metainfo/<id>.metainfo.xml          the software-centre description
#
# The game reads images/ and writes screenshot.bmp in the folder it starts in,
# so the launcher starts it in the player's own folder,
# ${XDG_DATA_HOME:-$HOME/.local/share}/duelstar, with images linked to the
# installed pictures. The launcher finds the program and the pictures relative
# to itself, so a tree installed with DESTDIR or moved as a whole still plays.
include(GNUInstallDirs)

set(DUELSTAR_APP_ID "io.github.duelstar.duelstar")
set(DUELSTAR_RELEASE_DATE "2026-12-10")
set(DUELSTAR_HOMEPAGE_URL "https://github.com/duelstar/duelstar"
  CACHE STRING "Home page named by the software-centre description and the package")
set(DUELSTAR_SCREENSHOT_URL
  "https://raw.githubusercontent.com/duelstar/duelstar/main/docs/screenshot.png"
  CACHE STRING "Screenshot shown by software centres")
set(DUELSTAR_MAINTAINER "Duelstar developers <duelstar@example.org>"
  CACHE STRING "Maintainer named in the Debian package")
# The sizes drawn by tools/make_icons.sh into dist/icons/.
set(DUELSTAR_ICON_SIZES 16 32 48 64 128 256)
set(DUELSTAR_PICTURES
  loading.bmp stars.bmp digits.bmp text.bmp ship_red.bmp ship_blue.bmp
  laser_red.bmp laser_blue.bmp boom.bmp redboom.bmp blueboom.bmp)

set(DUELSTAR_GAME_DIR "${CMAKE_INSTALL_LIBEXECDIR}/duelstar")
set(DUELSTAR_PICTURES_DIR "${CMAKE_INSTALL_DATADIR}/duelstar/images")
# The launcher's way from its own folder to the program and the pictures.
file(RELATIVE_PATH DUELSTAR_BIN_TO_GAME
  "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBEXECDIR}/duelstar/duelstar")
file(RELATIVE_PATH DUELSTAR_BIN_TO_PICTURES
  "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_DATADIR}/duelstar/images")

set(_dist "${PROJECT_SOURCE_DIR}/dist")
set(_made "${PROJECT_BINARY_DIR}/dist")
configure_file("${_dist}/duelstar.in" "${_made}/duelstar" @ONLY)
configure_file("${_dist}/metainfo.xml.in" "${_made}/${DUELSTAR_APP_ID}.metainfo.xml" @ONLY)

install(TARGETS duelstar RUNTIME DESTINATION "${DUELSTAR_GAME_DIR}")
install(PROGRAMS "${_made}/duelstar" DESTINATION "${CMAKE_INSTALL_BINDIR}")

list(TRANSFORM DUELSTAR_PICTURES PREPEND "${PROJECT_SOURCE_DIR}/images/"
  OUTPUT_VARIABLE _pictures)
install(FILES ${_pictures} DESTINATION "${DUELSTAR_PICTURES_DIR}")

install(FILES "${_dist}/duelstar.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
  RENAME "${DUELSTAR_APP_ID}.desktop")
foreach(_size IN LISTS DUELSTAR_ICON_SIZES)
  install(FILES "${_dist}/icons/duelstar-${_size}.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
    RENAME duelstar.png)
endforeach()
# The manual page names the installed files by their full paths, so it is
# written at install time, for the prefix given then (cmake --install --prefix,
# or the package's /usr), each prefix in its own folder.
install(CODE "
  set(PROJECT_VERSION [[${PROJECT_VERSION}]])
  set(DUELSTAR_RELEASE_DATE [[${DUELSTAR_RELEASE_DATE}]])
  set(_game_dir [[${DUELSTAR_GAME_DIR}]])
  set(_pictures_dir [[${DUELSTAR_PICTURES_DIR}]])
  set(_man_dir [[${CMAKE_INSTALL_MANDIR}/man6]])
  foreach(_dir _game_dir _pictures_dir _man_dir)
    if(NOT IS_ABSOLUTE \"\${\${_dir}}\")
      set(\${_dir} \"\${CMAKE_INSTALL_PREFIX}/\${\${_dir}}\")
    endif()
  endforeach()
  set(DUELSTAR_FULL_GAME_PATH \"\${_game_dir}/duelstar\")
  set(DUELSTAR_FULL_PICTURES_DIR \"\${_pictures_dir}\")
  file(READ [[${_dist}/duelstar.6.in]] _page)
  string(CONFIGURE \"\${_page}\" _page @ONLY)
  string(MD5 _key \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(_page_dir \"${_made}/man-\${_key}\")
  file(WRITE \"\${_page_dir}/duelstar.6\" \"\${_page}\")
  file(INSTALL \"\${_page_dir}/duelstar.6\" DESTINATION \"\${_man_dir}\")
")
install(FILES "${_made}/${DUELSTAR_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME duelstar)
set(CPACK_PACKAGE_VENDOR "Duelstar developers")
set(CPACK_PACKAGE_CONTACT "${DUELSTAR_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player space duel for one keyboard")
# Lines of at most 72 characters, as Debian's package tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A red ship on the right and a blue ship on the left of one full screen"
  "fly and fire lasers at each other. Five hits destroy a ship and give the"
  "other player a point; the first to three points wins."
  ""
  "Red steers with t, g, f and h and fires with s; blue steers with the"
  "cursor keys and fires with Return. p saves a screenshot, Escape quits.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${DUELSTAR_HOMEPAGE_URL}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Install as `DESTDIR=<staging> cmake --install --prefix /usr` would, so that
# the manual page names the package's real paths.
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DUELSTAR_MAINTAINER}")
# dpkg-shlibdeps (dpkg-dev) names the exact libraries the program links,
# SDL 1.2's libsdl1.2debian among them; without it the package names them itself.
find_program(DUELSTAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DUELSTAR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl1.2debian (>= 1.2.15), libstdc++6, libc6")
endif()
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/screenshot\\\\.bmp$")
include(CPack)
