# The pictures packed for the page: emscripten's file packager puts the
# folder PICTURES into bmp/ of the game's files, in kawauo.data, and writes
# the script that places them, kawauo-data.js, made here a module whose
# default export takes the game's Module (loader.js runs it from the bytes
# it fetched, with no eval); both are stored in SITE compressed
# (compress.cmake), the pictures at a third of their size.
#   cmake -DPACKAGER=.../file_packager -DPICTURES=DIR -DSITE=DIR -P pictures.cmake
include(${CMAKE_CURRENT_LIST_DIR}/compress.cmake)
set(packed ${SITE}/.pictures)
file(MAKE_DIRECTORY ${packed})
execute_process(
  COMMAND ${PACKAGER} ${packed}/kawauo.data --preload ${PICTURES}@/bmp --js-output=${packed}/kawauo-data.js.part
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "file_packager could not pack ${PICTURES}")
endif()
file(READ ${packed}/kawauo-data.js.part script)
file(WRITE ${packed}/kawauo-data.js "export default function kawauoPictures(Module) {\n${script}\n}\n")
compress_files(${packed} ${SITE} kawauo.data kawauo-data.js)
file(REMOVE_RECURSE ${packed})
