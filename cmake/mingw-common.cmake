# Cross build for Windows with the posix-thread mingw-w64 compilers of
# LOBBY_ARCH; programs built for the target run under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${LOBBY_ARCH}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${LOBBY_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${LOBBY_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${LOBBY_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
