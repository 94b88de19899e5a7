# SPDX-License-Identifier: MIT
# Run after each link of a browser program (cmake -P): compresses the file
# package DATA in place with gzip, which the page undoes with the browser's
# own DecompressionStream. Measured on the game's pictures: 3,183,806 bytes
# become 278,074; Emscripten's -sLZ4=1 makes them 848,333 (507,257 once a
# host gzips them) and adds 29 KB of decompressor to duelstar.js.
# The fixed time stamp keeps a rebuild of the same pictures byte for byte.
file(ARCHIVE_CREATE OUTPUT "${DATA}.gz" PATHS "${DATA}" FORMAT raw COMPRESSION GZip
  COMPRESSION_LEVEL 9 MTIME 0)
file(RENAME "${DATA}.gz" "${DATA}")
