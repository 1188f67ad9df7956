# Cross build for 32-bit Windows (x86) with Debian's MinGW-w64, the same way as
# the x86-64 build: posix thread model, winpthread linked statically.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
