# Cross-compiles for 64-bit Windows with MinGW-w64 (posix thread model). Only
# built, to keep the sources 64-bit clean; the product is the 32-bit build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER ${_triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${_triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${_triple}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
