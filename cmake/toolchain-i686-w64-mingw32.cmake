# 32-bit Windows programs:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
#         -DwxWidgets_CONFIG_EXECUTABLE=<prefix printed by tools/build_wx_windows.sh i686>/bin/wx-config
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VARNEX_MINGW_HOST i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_common.cmake)
