# SPDX-License-Identifier: MIT
# Run at each build of the browser game (cmake -P): lists the files a host
# publishes from SITE into its service worker, made from TEMPLATE (sw.js.in),
# with VERSION, the release, and a digest of the files in the cache's name.
# Anything else put in SITE (sounds packed into duelstar.data, a new script)
# is covered with no change here.
file(GLOB_RECURSE files RELATIVE "${SITE}" "${SITE}/*")
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(DUELSTAR_VERSION "${VERSION}")
# The folder itself, as players open it, is the page.
set(DUELSTAR_SITE_FILES "'./'")
set(digests "")
foreach(file IN LISTS files)
  string(APPEND DUELSTAR_SITE_FILES ", '${file}'")
  file(SHA256 "${SITE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 DUELSTAR_SITE_HASH "${digests}")
string(SUBSTRING "${DUELSTAR_SITE_HASH}" 0 12 DUELSTAR_SITE_HASH)
# configure_file rewrites sw.js only when it changes.
configure_file("${TEMPLATE}" "${SITE}/sw.js" @ONLY)
