# Cross build for Windows x86-64 with Debian's MinGW-w64. The posix thread
# model gives std::mutex (GoogleTest needs it); winpthread links statically.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
