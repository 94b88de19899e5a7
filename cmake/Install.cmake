# SPDX-License-Identifier: MIT
# Installs Duelstar the way a distribution ships a game, and packages it.
#
#   <launcher dir>/duelstar                   the command players run (a launcher)
#   <program dir>/duelstar                    the game program itself
#   <data dir>/images/                        the pictures (the images/ folder)
#   <data dir>/sounds/                        the sounds (the sounds/ folder)
#   share/applications/<id>.desktop           the menu entry
#   share/icons/hicolor/NxN/apps/duelstar.png the icon
#   share/man/man6/duelstar.6                 the manual page
#   share/metainfo/<id>.metainfo.xml          the software-centre description
#   share/doc/duelstar/copyright, changelog   the licence and what each release holds
#
# The three folders are cache options. Their defaults are bin, libexec/duelstar
# and share/games/duelstar; DUELSTAR_DEBIAN switches the first two to Debian's
# places for games (games, lib/games/duelstar), compresses the manual page and
# the changelog as Debian does and builds with Debian's hardening flags. The
# Debian package is made from such a build.
#
# The game reads images/ and writes screenshot.bmp in the folder it starts in,
# so the launcher starts it in the player's own folder,
# ${XDG_DATA_HOME:-$HOME/.local/share}/duelstar, with images linked to the
# installed pictures, and sounds to the installed sounds. The data folder's name ends in games/duelstar, so that
# no prefix puts the pictures in the player's folder. The launcher finds the
# program and the pictures relative to itself, so a tree installed with
# DESTDIR or moved as a whole still plays.
include(GNUInstallDirs)

option(DUELSTAR_DEBIAN
  "Install in Debian's places for games, compress as Debian does and build with dpkg-buildflags" OFF)
if(DUELSTAR_DEBIAN)
  set(_launcher_dir games)
  set(_program_dir lib/games/duelstar)
  set(_compress_docs ON)
  # Debian's hardening flags, every one (hardening=+all adds BIND_NOW), as
  # dpkg-buildflags gives them for the package's build.
  find_program(DUELSTAR_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DUELSTAR_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "DUELSTAR_DEBIAN needs dpkg-buildflags (Debian's dpkg-dev)")
  endif()
  foreach(_kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
        ${DUELSTAR_DPKG_BUILDFLAGS} --get ${_kind}
      WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
      OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR "dpkg-buildflags --get ${_kind} failed: ${_failed}")
    endif()
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    if(_kind STREQUAL LDFLAGS)
      target_link_options(duelstar PRIVATE ${_flags})
    else()
      target_compile_options(duelstar_core PUBLIC ${_flags})
    endif()
  endforeach()
else()
  set(_launcher_dir "${CMAKE_INSTALL_BINDIR}")
  set(_program_dir "${CMAKE_INSTALL_LIBEXECDIR}/duelstar")
  set(_compress_docs OFF)
endif()
set(DUELSTAR_LAUNCHER_DIR "${_launcher_dir}" CACHE STRING
  "Folder of the duelstar command, relative to the prefix or absolute")
set(DUELSTAR_PROGRAM_DIR "${_program_dir}" CACHE STRING
  "Folder of the game program, relative to the prefix or absolute")
set(DUELSTAR_DATA_DIR "${CMAKE_INSTALL_DATADIR}/games/duelstar" CACHE STRING
  "Folder that holds the game's images/, relative to the prefix or absolute")
set(DUELSTAR_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/duelstar")

set(DUELSTAR_APP_ID "io.github.duelstar.duelstar")
include(${CMAKE_CURRENT_LIST_DIR}/News.cmake)
set(DUELSTAR_HOMEPAGE_URL "https://github.com/duelstar/duelstar"
  CACHE STRING "Home page named by the software-centre description and the package")
set(DUELSTAR_SCREENSHOT_URL
  "https://raw.githubusercontent.com/duelstar/duelstar/main/docs/screenshot.png"
  CACHE STRING "Screenshot shown by software centres")
set(DUELSTAR_MAINTAINER "Duelstar developers <duelstar@example.org>"
  CACHE STRING "Maintainer named in the Debian package")
# The sizes drawn by tools/make_icons.sh into dist/icons/.
set(DUELSTAR_ICON_SIZES 16 32 48 64 128 256)

# The launcher's way to the program and the pictures: relative to its own
# folder when all three are under the prefix, else the absolute path.
function(duelstar_launcher_path out dir)
  if(IS_ABSOLUTE "${dir}" OR IS_ABSOLUTE "${DUELSTAR_LAUNCHER_DIR}")
    set(${out} "${dir}" PARENT_SCOPE)
  else()
    file(RELATIVE_PATH _path "/prefix/${DUELSTAR_LAUNCHER_DIR}" "/prefix/${dir}")
    set(${out} "${_path}" PARENT_SCOPE)
  endif()
endfunction()
duelstar_launcher_path(DUELSTAR_LAUNCHER_TO_GAME "${DUELSTAR_PROGRAM_DIR}/duelstar")
duelstar_launcher_path(DUELSTAR_LAUNCHER_TO_PICTURES "${DUELSTAR_DATA_DIR}/images")
duelstar_launcher_path(DUELSTAR_LAUNCHER_TO_SOUNDS "${DUELSTAR_DATA_DIR}/sounds")

set(_dist "${PROJECT_SOURCE_DIR}/dist")
set(_made "${PROJECT_BINARY_DIR}/dist")
configure_file("${_dist}/duelstar.in" "${_made}/duelstar" @ONLY)
configure_file("${_dist}/metainfo.xml.in" "${_made}/${DUELSTAR_APP_ID}.metainfo.xml" @ONLY)
# Debian reads a native package's changelog as a Debian changelog; elsewhere
# it is NEWS.md as it is.
if(DUELSTAR_DEBIAN)
  duelstar_debian_changelog("${_made}/changelog" "${DUELSTAR_MAINTAINER}")
else()
  configure_file("${PROJECT_SOURCE_DIR}/NEWS.md" "${_made}/changelog" COPYONLY)
endif()

install(TARGETS duelstar RUNTIME DESTINATION "${DUELSTAR_PROGRAM_DIR}")
if(DUELSTAR_DEBIAN)
  # As Debian's own packages do: the compiler's notes are no use at run time.
  install(CODE "
    set(_program [[${DUELSTAR_PROGRAM_DIR}/duelstar]])
    if(NOT IS_ABSOLUTE \"\${_program}\")
      set(_program \"\${CMAKE_INSTALL_PREFIX}/\${_program}\")
    endif()
    execute_process(COMMAND [[${CMAKE_OBJCOPY}]] --remove-section=.comment --remove-section=.note
      \"\$ENV{DESTDIR}\${_program}\" RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR \"objcopy failed on \${_program}: \${_failed}\")
    endif()
  ")
endif()
install(PROGRAMS "${_made}/duelstar" DESTINATION "${DUELSTAR_LAUNCHER_DIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/images" DESTINATION "${DUELSTAR_DATA_DIR}"
  FILES_MATCHING PATTERN "*.bmp")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/sounds" DESTINATION "${DUELSTAR_DATA_DIR}"
  FILES_MATCHING PATTERN "*.wav")

install(FILES "${_dist}/duelstar.desktop"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/applications"
  RENAME "${DUELSTAR_APP_ID}.desktop")
foreach(_size IN LISTS DUELSTAR_ICON_SIZES)
  install(FILES "${_dist}/icons/duelstar-${_size}.png"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps"
    RENAME duelstar.png)
endforeach()
install(FILES "${_dist}/copyright" DESTINATION "${DUELSTAR_DOC_DIR}")
install(FILES "${_made}/${DUELSTAR_APP_ID}.metainfo.xml"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The manual page names the installed files by their full paths, so it is
# written at install time, for the prefix given then (cmake --install --prefix,
# or the package's /usr), each prefix in its own folder. Debian wants it and
# the changelog compressed with gzip -9n (no name, no time: the same bytes on
# every build).
if(_compress_docs)
  find_program(DUELSTAR_GZIP gzip)
  if(NOT DUELSTAR_GZIP)
    message(FATAL_ERROR "DUELSTAR_DEBIAN needs gzip")
  endif()
endif()
install(CODE "
  set(PROJECT_VERSION [[${PROJECT_VERSION}]])
  set(DUELSTAR_RELEASE_DATE [[${DUELSTAR_RELEASE_DATE}]])
  set(_game_dir [[${DUELSTAR_PROGRAM_DIR}]])
  set(_data_dir [[${DUELSTAR_DATA_DIR}]])
  set(_man_dir [[${CMAKE_INSTALL_MANDIR}/man6]])
  set(_doc_dir [[${DUELSTAR_DOC_DIR}]])
  set(_compress [[${_compress_docs}]])
  foreach(_dir _game_dir _data_dir _man_dir _doc_dir)
    if(NOT IS_ABSOLUTE \"\${\${_dir}}\")
      set(\${_dir} \"\${CMAKE_INSTALL_PREFIX}/\${\${_dir}}\")
    endif()
  endforeach()
  set(DUELSTAR_FULL_GAME_PATH \"\${_game_dir}/duelstar\")
  set(DUELSTAR_FULL_PICTURES_DIR \"\${_data_dir}/images\")
  set(DUELSTAR_FULL_SOUNDS_DIR \"\${_data_dir}/sounds\")
  set(DUELSTAR_FULL_DOC_DIR \"\${_doc_dir}\")
  file(READ [[${_dist}/duelstar.6.in]] _page)
  string(CONFIGURE \"\${_page}\" _page @ONLY)
  string(MD5 _key \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  set(_page_dir \"${_made}/man-\${_key}\")
  file(WRITE \"\${_page_dir}/duelstar.6\" \"\${_page}\")
  file(READ [[${_made}/changelog]] _news)
  file(WRITE \"\${_page_dir}/changelog\" \"\${_news}\")
  set(_docs \"\${_page_dir}/duelstar.6\" \"\${_page_dir}/changelog\")
  if(_compress)
    foreach(_doc IN LISTS _docs)
      execute_process(COMMAND [[${DUELSTAR_GZIP}]] -9nf \"\${_doc}\" RESULT_VARIABLE _failed)
      if(_failed)
        message(FATAL_ERROR \"gzip failed on \${_doc}: \${_failed}\")
      endif()
    endforeach()
    list(TRANSFORM _docs APPEND .gz)
  endif()
  list(GET _docs 0 _page_file)
  list(GET _docs 1 _changelog_file)
  file(INSTALL \"\${_page_file}\" DESTINATION \"\${_man_dir}\")
  file(INSTALL \"\${_changelog_file}\" DESTINATION \"\${_doc_dir}\")
")

# The Debian package: `cpack -G DEB` in a build configured with DUELSTAR_DEBIAN.
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
  "cursor keys and fires with Return. p saves a screenshot, m switches"
  "the sound off and on, Escape quits.")
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
# SDL 1.2's libsdl1.2debian, SDL_mixer's libsdl-mixer1.2 and ENet's libenet7 among them;
# without it the package names them itself.
find_program(DUELSTAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DUELSTAR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libsdl1.2debian (>= 1.2.15), libsdl-mixer1.2 (>= 1.2.12), libenet7, libstdc++6, libc6")
endif()
# A package made without DUELSTAR_DEBIAN would put a game outside Debian's
# places for games; cpack refuses it with the way to fix it.
configure_file("${PROJECT_SOURCE_DIR}/cmake/CPackOptions.cmake.in"
  "${PROJECT_BINARY_DIR}/CPackOptions.cmake" @ONLY)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_BINARY_DIR}/CPackOptions.cmake")
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/screenshot\\\\.bmp$")
include(CPack)
