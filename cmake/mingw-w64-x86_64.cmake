# Cross-compiles for 64-bit Windows with MinGW-w64 (posix thread model). It
# keeps the sources 64-bit clean, and its tests run under the 64-bit loader
# on every machine, also where 32-bit programs cannot run.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
