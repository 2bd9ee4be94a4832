# The web build (the `web` preset, Debian's emscripten): the game on the
# browser's host, in one folder, build-web/site, that any static web host
# serves as it is: index.html, page.js, page.css, kawauo.js, kawauo.wasm, and
# the pictures packed in kawauo.data (loaded by kawauo-data.js). The font is
# baked into the program.
add_library(kawauo_host_web OBJECT
  platform/host_web.cpp
  platform/host_web_input.cpp
  platform/host_web_pacing.cpp
)
target_link_libraries(kawauo_host_web PUBLIC kawauo_platform PRIVATE kawauo_warnings)

set(KAWAUO_SITE ${PROJECT_BINARY_DIR}/site)
set(web_dir ${PROJECT_SOURCE_DIR}/platform/web)

add_executable(kawauo platform/startup_web.cpp)
target_link_libraries(kawauo PRIVATE kawauo_host_web kawauo_sim_run kawauo_game kawauo_warnings)
set_target_properties(kawauo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KAWAUO_SITE} SUFFIX .js
  LINK_DEPENDS ${web_dir}/library_kawauo.js)
target_link_options(kawauo PRIVATE
  # The game's own loop stays as written: Present and the message box wait
  # by handing the browser back its turn until the next animation frame or
  # the OK.
  -sASYNCIFY
  "-sASYNCIFY_IMPORTS=['kawauo_web_animation_frame','kawauo_web_message_box']"
  # The game names window classes by pointer, and takes a pointer below
  # 0x10000 for an atom, as Windows does; wasm's static data starts near
  # address 0 unless told otherwise, so it starts above the atoms.
  -sGLOBAL_BASE=65536
  -sALLOW_MEMORY_GROWTH
  # The pictures come in a package of their own (kawauo-data.js, LZ4), the
  # script of ?script= through the file system.
  -sFORCE_FILESYSTEM
  -sLZ4
  "-sEXPORTED_RUNTIME_METHODS=['FS','addRunDependency','removeRunDependency','UTF8ToString']"
  "-sEXPORTED_FUNCTIONS=['_main','_fflush','_kawauo_recording']"
  --js-library ${web_dir}/library_kawauo.js)

# The pictures, packed by emscripten's file packager into bmp/ of the game's
# files, compressed with LZ4 (a quarter of their size) and unpacked as read.
# The page plays in Japanese only: the English forms in bmp/en stay out.
file(GLOB web_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bmp/*.bmp)
add_custom_command(
  OUTPUT ${KAWAUO_SITE}/kawauo.data ${KAWAUO_SITE}/kawauo-data.js
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KAWAUO_SITE}
  COMMAND ${EMSCRIPTEN_ROOT_PATH}/tools/file_packager ${KAWAUO_SITE}/kawauo.data
    --preload ${PROJECT_SOURCE_DIR}/bmp@/bmp --exclude ${PROJECT_SOURCE_DIR}/bmp/en
    --lz4 --js-output=${KAWAUO_SITE}/kawauo-data.js
  DEPENDS ${web_pictures}
  COMMENT "Packing the pictures"
  VERBATIM)
add_custom_target(kawauo_web_data ALL DEPENDS ${KAWAUO_SITE}/kawauo.data)

# The page around the game, its icon (the fish drawn by kawauo-bmpgen), and
# the licences of what the program carries (the baked font's).
foreach(page_file index.html page.js page.css)
  configure_file(${web_dir}/${page_file} ${KAWAUO_SITE}/${page_file} COPYONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/data/icons/32x32/kawauo.png ${KAWAUO_SITE}/icon.png COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/data/copyright ${KAWAUO_SITE}/COPYRIGHT.txt COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/CREDITS ${KAWAUO_SITE}/CREDITS.txt COPYONLY)
