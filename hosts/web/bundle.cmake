# The site's list of files for the page's loader and its service worker,
# written into loader.js and sw.js at the mark /*@KAWAUO_BUNDLE@*/: each
# file's size in bytes and SHA-256 digest (the loader and the service worker
# check what arrives against both) and the name of this version's cache, the game's version and a digest of every file
# (so that any change, not only a new version number, fills a cache anew).
#   cmake -DSITE=DIR -DVERSION=X.Y.Z -DSOURCE=hosts/web -P bundle.cmake
set(templates loader.js sw.js)
file(GLOB_RECURSE names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names ${templates})
list(SORT names)
set(files "")
set(summary "")
foreach(name IN LISTS names)
  file(SIZE ${SITE}/${name} size)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND files "\"${name}\": [${size}, \"${hash}\"], ")
  string(APPEND summary "${name} ${hash}\n")
endforeach()
foreach(template IN LISTS templates)
  file(SHA256 ${SOURCE}/${template} hash)
  string(APPEND summary "${template} ${hash}\n")
endforeach()
string(SHA256 digest "${summary}")
string(SUBSTRING ${digest} 0 16 digest)
# loader.js is cached too; its size is its own, unknown while it is written.
set(bundle "{\"cache\": \"${VERSION}-${digest}\", \"files\": {${files}\"loader.js\": null}}")
foreach(template IN LISTS templates)
  file(READ ${SOURCE}/${template} text)
  set(mark "/*@KAWAUO_BUNDLE@*/ {cache: '', files: {}}")
  string(FIND "${text}" "${mark}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${SOURCE}/${template}: no ${mark} to write the site's list at")
  endif()
  string(REPLACE "${mark}" "${bundle}" text "${text}")
  file(WRITE ${SITE}/${template} "${text}")
endforeach()
