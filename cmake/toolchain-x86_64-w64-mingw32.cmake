# 64-bit Windows programs:
#   cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
#         -DwxWidgets_CONFIG_EXECUTABLE=<prefix printed by tools/build_wx_windows.sh x86_64>/bin/wx-config
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARNEX_MINGW_HOST x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_common.cmake)
