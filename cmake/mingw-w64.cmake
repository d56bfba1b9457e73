# Shared by the MinGW-w64 toolchain files, which set _triple and the
# processor first: the posix-thread-model compilers and windres of that
# triple, and its libraries and headers only.
set(CMAKE_SYSTEM_NAME Windows)

find_program(CMAKE_C_COMPILER ${_triple}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER ${_triple}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER ${_triple}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
