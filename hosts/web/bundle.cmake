# The site's list of files for the page's loader, written into loader.js at
# the mark /*@KAWAUO_BUNDLE@*/: each file's size in bytes (the loader checks
# what arrives against it) and the version, the game's version and a digest
# of every file.
#   cmake -DSITE=DIR -DVERSION=X.Y.Z -DSOURCE=hosts/web -P bundle.cmake
set(templates loader.js)
file(GLOB_RECURSE names RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM names ${templates})
list(SORT names)
set(files "")
set(summary "")
foreach(name IN LISTS names)
  file(SIZE ${SITE}/${name} size)
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND files "\"${name}\": ${size}, ")
  string(APPEND summary "${name} ${hash}\n")
endforeach()
foreach(template IN LISTS templates)
  file(SHA256 ${SOURCE}/${template} hash)
  string(APPEND summary "${template} ${hash}\n")
endforeach()
string(SHA256 digest "${summary}")
string(SUBSTRING ${digest} 0 16 digest)
# loader.js's size is its own, unknown while it is written.
set(bundle "{\"cache\": \"${VERSION}-${digest}\", \"files\": {${files}\"loader.js\": null}}")
foreach(template IN LISTS templates)
  file(READ ${SOURCE}/${template} text)
  string(REPLACE "/*@KAWAUO_BUNDLE@*/{cache: '', files: {}}" "${bundle}" text "${text}")
  file(WRITE ${SITE}/${template} "${text}")
endforeach()
