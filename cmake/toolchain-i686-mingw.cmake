# The 32-bit Windows program.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PENWISE_TRIPLE i686-w64-mingw32)
set(PENWISE_WINE_ARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
