# SPDX-License-Identifier: MIT
# NEWS.md tells what each release holds, newest first, in sections
# "## <version> (<YYYY-MM-DD>)" of "- " items. The newest section must be
# this version: its date is the release date of the metainfo and the manual
# page. For the Debian package the same text becomes a Debian changelog.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/NEWS.md")
file(STRINGS "${PROJECT_SOURCE_DIR}/NEWS.md" _news_lines)

set(_newest "")
foreach(_line IN LISTS _news_lines)
  if(_line MATCHES "^## ([^ ]+) \\(([0-9]+-[0-9]+-[0-9]+)\\)$")
    set(_newest "${CMAKE_MATCH_1}")
    set(DUELSTAR_RELEASE_DATE "${CMAKE_MATCH_2}")
    break()
  endif()
endforeach()
if(NOT _newest STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "NEWS.md: the newest section is '${_newest}', not ${PROJECT_VERSION} "
    "(a line \"## ${PROJECT_VERSION} (YYYY-MM-DD)\")")
endif()

# Writes NEWS.md as a Debian changelog to <file>, each release signed by
# <maintainer> at noon UTC of its date, plus a minute for every release before
# it: Debian wants each entry later than the one before, even on one day.
function(duelstar_debian_changelog file maintainer)
  set(_text "")
  set(_trailer "")
  set(_earlier 0)
  foreach(_line IN LISTS _news_lines)
    if(_line MATCHES "^## ")
      math(EXPR _earlier "${_earlier} + 1")
    endif()
  endforeach()
  foreach(_line IN LISTS _news_lines)
    if(_line MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)$")
      math(EXPR _earlier "${_earlier} - 1")
      execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2} 12:00 +0000 + ${_earlier} minutes"
        OUTPUT_VARIABLE _date OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE _failed)
      if(_failed)
        message(FATAL_ERROR "NEWS.md: no date in '${_line}'")
      endif()
      string(APPEND _text "${_trailer}${PROJECT_NAME} (${CMAKE_MATCH_1}) unstable; urgency=medium\n\n")
      set(_trailer "\n -- ${maintainer}  ${_date}\n\n")
    elseif(_line MATCHES "^- (.*)$")
      string(APPEND _text "  * ${CMAKE_MATCH_1}\n")
    elseif(_line MATCHES "^  +(.*)$")
      string(APPEND _text "    ${CMAKE_MATCH_1}\n")
    endif()
  endforeach()
  string(STRIP "${_text}${_trailer}" _text)
  file(WRITE "${file}" "${_text}\n")
endfunction()
