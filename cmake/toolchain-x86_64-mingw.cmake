# The 64-bit Windows program.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PENWISE_TRIPLE x86_64-w64-mingw32)
set(PENWISE_WINE_ARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
