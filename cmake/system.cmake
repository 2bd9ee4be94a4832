# What differs by system, said once for every room: the suffix of the files
# that speak to the system (files_posix.cpp or files_win32.cpp, chosen by
# KAWAUO_SYSTEM), the definitions every file that includes <windows.h> is
# compiled with (kawauo_windows_headers), and the driver beneath the players'
# kawauo, a build option: two drivers can be built on one system.
if(WIN32)
  set(KAWAUO_SYSTEM win32)
else()
  set(KAWAUO_SYSTEM posix)  # Linux and the other POSIX systems, and emscripten's
endif()

add_library(kawauo_windows_headers INTERFACE)
if(WIN32)
  target_compile_definitions(kawauo_windows_headers INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
endif()

if(EMSCRIPTEN)
  set(driver web)
elseif(WIN32)
  set(driver win32)
else()
  set(driver sdl)
endif()
set(KAWAUO_DRIVER ${driver} CACHE STRING "The driver of the players' kawauo: sdl, win32, web or null")
set_property(CACHE KAWAUO_DRIVER PROPERTY STRINGS sdl win32 web null)
