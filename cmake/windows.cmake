# The Windows build (the `windows` preset): kawauo.exe on the Win32 host,
# kawauo-sim.exe as on Linux, and the zip players unpack and run.
add_library(kawauo_host_win32 OBJECT
  platform/host_win32.cpp
  platform/host_win32_window.cpp
  platform/host_win32_input.cpp
  platform/host_win32_pacing.cpp
)
target_compile_definitions(kawauo_host_win32 PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
target_link_libraries(kawauo_host_win32 PUBLIC kawauo_platform PRIVATE kawauo_warnings)

add_executable(kawauo WIN32 platform/startup_win32.cpp)
target_link_libraries(kawauo PRIVATE kawauo_host_win32 kawauo_game kawauo_warnings gdi32 user32 winmm)

# The zip: the program, its pictures, the credits and a read-me, in one
# folder that runs where it is unpacked. The program carries the baked font
# and, linked in, the MinGW-w64 runtime: their licences go with it.
install(TARGETS kawauo RUNTIME DESTINATION .)
# The Windows game plays in Japanese only: the English forms in bmp/en stay out.
install(DIRECTORY bmp DESTINATION . FILES_MATCHING PATTERN "*.bmp" PATTERN en EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/windows-readme.txt DESTINATION . RENAME README.txt)
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION . RENAME COPYRIGHT.txt)
install(FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright DESTINATION . RENAME COPYRIGHT-mingw-w64.txt)
if(EXISTS ${PROJECT_SOURCE_DIR}/CREDITS)
  install(FILES ${PROJECT_SOURCE_DIR}/CREDITS DESTINATION . RENAME CREDITS.txt)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME kawauo-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
