# Shared part of the Windows toolchain files: Debian's mingw-w64 compilers of the POSIX thread model
# (std::thread exists) for VARNEX_MINGW_HOST, and programs linked statically, so that nothing has
# to be shipped beside them (libgcc, libstdc++ and winpthreads included).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VARNEX_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEX_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEX_MINGW_HOST}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VARNEX_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# wxWidgets' Windows build lives outside the system root (tools/build_wx_windows.sh): its headers
# are looked for there too.
if(wxWidgets_CONFIG_EXECUTABLE)
  get_filename_component(varnex_wx_prefix ${wxWidgets_CONFIG_EXECUTABLE} DIRECTORY)
  get_filename_component(varnex_wx_prefix ${varnex_wx_prefix} DIRECTORY)
  list(APPEND CMAKE_FIND_ROOT_PATH ${varnex_wx_prefix})
endif()
