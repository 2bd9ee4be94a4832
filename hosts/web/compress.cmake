# Files of the site stored gzip-compressed (gzip -9n: no name, no time, the
# same bytes for the same input), for the page's loader to unpack with the
# browser's own DecompressionStream: a plain static server sends them as
# they are, a third of their size.
#   cmake -DFROM=DIR -DTO=DIR -DFILES="a;b" -P compress.cmake
# or include() it for compress_files().
function(compress_files from to)
  file(MAKE_DIRECTORY ${to})
  foreach(name IN LISTS ARGN)
    execute_process(COMMAND gzip -9 -n -c ${from}/${name} OUTPUT_FILE ${to}/${name}.part RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "gzip could not compress ${from}/${name}")
    endif()
    file(RENAME ${to}/${name}.part ${to}/${name})
  endforeach()
endfunction()

if(DEFINED FROM)
  compress_files(${FROM} ${TO} ${FILES})
endif()
