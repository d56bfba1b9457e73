# Cross-compiles for 32-bit Windows with MinGW-w64 (posix thread model): the
# program that ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
