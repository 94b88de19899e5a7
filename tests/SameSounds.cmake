# SPDX-License-Identifier: MIT
# Runs make_sounds into an empty folder and fails unless it made exactly the
# files of sounds/, byte for byte. Called with -DMAKE_SOUNDS, -DSOUNDS (the
# committed folder) and -DOUT (a scratch folder).
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${MAKE_SOUNDS} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_sounds failed: ${status}")
endif()
file(GLOB made RELATIVE ${OUT} ${OUT}/*)
file(GLOB committed RELATIVE ${SOUNDS} ${SOUNDS}/*)
list(SORT made)
list(SORT committed)
if(NOT made STREQUAL committed)
  message(FATAL_ERROR "make_sounds made [${made}], sounds/ holds [${committed}]")
endif()
foreach(name IN LISTS made)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${name} ${SOUNDS}/${name}
    RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "sounds/${name} is not what make_sounds makes")
  endif()
endforeach()
message(STATUS "make_sounds made every file of sounds/ byte for byte: ${made}")
