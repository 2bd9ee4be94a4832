# What the build finds on the machine: the libraries the game's rooms need on
# each system, and the switches for the tests and benchmarks, whose packages
# a player does not have.

# The Windows build needs zlib alone, MinGW's; the web build none of these
# (it writes no PNG and shows its frames on the page's canvas), but pako.
if(NOT EMSCRIPTEN)
  find_package(ZLIB REQUIRED)
else()
  # The page deflates a run's link with Debian's pako (node-pako), its module build.
  find_file(KAWAUO_PAKO_MODULE pako.esm.mjs PATHS /usr/share/nodejs/pako/dist NO_DEFAULT_PATH
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
endif()
if(NOT WIN32 AND NOT EMSCRIPTEN)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
  find_package(PNG REQUIRED)
endif()

# Tests and benchmarks: AUTO builds them when their packages are found, ON
# requires them, OFF leaves them out.
set(KAWAUO_TESTS AUTO CACHE STRING "Build the tests: AUTO (when GoogleTest and nlohmann-json are found), ON or OFF")
set(KAWAUO_BENCH AUTO CACHE STRING "Build the benchmarks: AUTO (when Google Benchmark is found), ON or OFF")
set_property(CACHE KAWAUO_TESTS PROPERTY STRINGS AUTO ON OFF)
set_property(CACHE KAWAUO_BENCH PROPERTY STRINGS AUTO ON OFF)
option(KAWAUO_FUZZ "Build the libFuzzer targets (clang only; needs the tests)" OFF)

# kawauo_optional(SWITCH WHAT PACKAGE...) sets SWITCH_BUILD from the SWITCH
# cache entry, finding the packages, and says plainly what it chose and why.
macro(kawauo_optional switch what)
  set(${switch}_BUILD OFF)
  if(${switch} STREQUAL "AUTO")
    set(kawauo_missing "")
    foreach(package ${ARGN})
      find_package(${package} QUIET)
      if(NOT ${package}_FOUND)
        list(APPEND kawauo_missing ${package})
      endif()
    endforeach()
    if(kawauo_missing)
      list(JOIN kawauo_missing ", " kawauo_missing)
      message(STATUS "kawauo: ${what} OFF, not found: ${kawauo_missing} (-D${switch}=ON requires them)")
    else()
      list(JOIN ARGN ", " kawauo_found)
      set(${switch}_BUILD ON)
      message(STATUS "kawauo: ${what} ON, found: ${kawauo_found} (-D${switch}=OFF leaves them out)")
    endif()
  elseif(${switch})
    foreach(package ${ARGN})
      find_package(${package} REQUIRED)
    endforeach()
    set(${switch}_BUILD ON)
    message(STATUS "kawauo: ${what} ON (asked for)")
  else()
    message(STATUS "kawauo: ${what} OFF (asked for)")
  endif()
endmacro()
kawauo_optional(KAWAUO_TESTS "tests" GTest nlohmann_json)
kawauo_optional(KAWAUO_BENCH "benchmarks" benchmark)
if(KAWAUO_FUZZ AND NOT KAWAUO_TESTS_BUILD)
  message(WARNING "KAWAUO_FUZZ needs the tests; the fuzz targets are left out")
endif()
