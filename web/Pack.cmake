# SPDX-License-Identifier: MIT
# Run after each link of a browser program (cmake -P): compresses the file
# package DATA in place with gzip, which the page undoes with the browser's
# own DecompressionStream. Measured on the game's pictures: 3,183,806 bytes
# become 277,574; Emscripten's -sLZ4=1 makes them 848,333 (507,257 once a
# host gzips them) and adds 29 KB of decompressor to duelstar.js.
# gzip -n leaves the name and time out, so that the same pictures pack byte
# for byte the same.
execute_process(COMMAND gzip -9 -n -c "${DATA}" OUTPUT_FILE "${DATA}.gz" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip could not pack ${DATA}: ${failed}")
endif()
file(RENAME "${DATA}.gz" "${DATA}")
