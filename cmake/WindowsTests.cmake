# The engine's tests for the Windows build, run under Wine by
# scripts/test-windows.sh: the failure table, which makes the file system
# calls of the seam (engine/os/SystemCalls.h) fail one by one against the
# Windows calls, and the models. Debian has no GoogleTest for MinGW, so it is
# built here from its sources (the googletest package). Built on demand:
#   cmake --build build-win --target lintrim_engine_tests
set(LINTRIM_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built for Windows")
if(NOT EXISTS ${LINTRIM_GTEST_SOURCE}/CMakeLists.txt)
  return()
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${LINTRIM_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
add_executable(lintrim_engine_tests EXCLUDE_FROM_ALL
               ${PROJECT_SOURCE_DIR}/tests/engine/RunEventsTest.cpp)
target_link_libraries(lintrim_engine_tests PRIVATE lintrim_engine_inside gtest_main)
lintrim_warnings(lintrim_engine_tests)
