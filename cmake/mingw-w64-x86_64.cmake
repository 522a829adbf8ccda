# Cross-building lintrim-cli.exe for 64-bit Windows with Debian's MinGW-w64
# (the posix thread model, which std::thread needs):
#   cmake -S . -B build-win --toolchain cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(LINTRIM_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${LINTRIM_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LINTRIM_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${LINTRIM_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LINTRIM_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
