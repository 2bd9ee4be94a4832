# The pictures packed for the page: emscripten's file packager puts the
# folder PICTURES into bmp/ of the game's files, compressed with LZ4 (a
# quarter of their size) and unpacked as read, in SITE/kawauo.data, and
# writes the script that unpacks them, SITE/kawauo-data.js, made here a
# module whose default export takes the game's Module (loader.js runs it
# from the bytes it fetched, with no eval).
#   cmake -DPACKAGER=.../file_packager -DPICTURES=DIR -DSITE=DIR -P pictures.cmake
execute_process(
  COMMAND ${PACKAGER} ${SITE}/kawauo.data --preload ${PICTURES}@/bmp --lz4 --js-output=${SITE}/kawauo-data.js.part
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "file_packager could not pack ${PICTURES}")
endif()
file(READ ${SITE}/kawauo-data.js.part script)
file(REMOVE ${SITE}/kawauo-data.js.part)
file(WRITE ${SITE}/kawauo-data.js "export default function kawauoPictures(Module) {\n${script}\n}\n")
