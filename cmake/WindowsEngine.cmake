# What the engine needs in a Windows build: the wide (UTF-16) system calls
# of Windows 10, 64-bit file offsets in the C runtime, the few POSIX names
# MinGW lacks (engine/os/windows/include, each given its Windows meaning,
# for the engine's own files only: its headers need none of them), and the
# xxHash header, which is used inline and so needs no Windows library: it
# is taken from the build machine's own include folder.
target_compile_definitions(lintrim_engine PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0A00 _FILE_OFFSET_BITS=64)
target_include_directories(lintrim_engine BEFORE
                           PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/os/windows/include)
find_path(LINTRIM_XXHASH_INCLUDE xxhash.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH REQUIRED)
configure_file(${LINTRIM_XXHASH_INCLUDE}/xxhash.h ${CMAKE_CURRENT_BINARY_DIR}/xxhash/xxhash.h
               COPYONLY)
target_include_directories(lintrim_engine PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/xxhash)
# The program runs alone: the C++ runtime, libgcc, winpthread and zlib are
# linked in.
target_link_options(lintrim_engine INTERFACE -static)
target_link_libraries(lintrim_engine PUBLIC shell32 advapi32)
