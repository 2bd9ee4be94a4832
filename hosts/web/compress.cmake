# Files of the site stored gzip-compressed, for the page's loader to unpack
# with the browser's own DecompressionStream: a plain static server sends
# them as they are, a third of their size or less. Zopfli writes the gzip
# stream (no name, no time: the same bytes for the same input), an eighth
# smaller than gzip -9 for the pictures, in one of its passes.
#   cmake -DFROM=DIR -DTO=DIR -DFILES="a;b" -P compress.cmake
# or include() it for compress_files().
find_program(ZOPFLI zopfli)
if(NOT ZOPFLI)
  message(FATAL_ERROR "compress.cmake: zopfli not found (Debian's package zopfli)")
endif()

function(compress_files from to)
  file(MAKE_DIRECTORY ${to})
  foreach(name IN LISTS ARGN)
    execute_process(COMMAND ${ZOPFLI} --i1 -c ${from}/${name} OUTPUT_FILE ${to}/${name}.part RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "zopfli could not compress ${from}/${name}")
    endif()
    file(RENAME ${to}/${name}.part ${to}/${name})
  endforeach()
endfunction()

if(DEFINED FROM)
  compress_files(${FROM} ${TO} ${FILES})
endif()
