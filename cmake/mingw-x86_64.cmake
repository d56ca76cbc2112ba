# The same sources for 64-bit Windows, for test hosts whose kernel cannot run
# 32-bit code (and so cannot run Wine's 32-bit loader).
set(LOBBY_ARCH x86_64)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
