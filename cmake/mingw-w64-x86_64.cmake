# Cross-compiles for 64-bit Windows with MinGW-w64 (posix thread model). Only
# built, to keep the sources 64-bit clean; the product is the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
