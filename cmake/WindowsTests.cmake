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

# The window's shared handlers as Windows sees them (a backslash separates
# folders) and the chooser's answer, in the same program.
target_sources(lintrim_engine_tests PRIVATE
               ${PROJECT_SOURCE_DIR}/tests/ui/jobs/WindowChoicesTest.cpp
               ${PROJECT_SOURCE_DIR}/tests/win/WinFileChooserTest.cpp
               ${PROJECT_SOURCE_DIR}/win/WinFileChooser.cpp ${PROJECT_SOURCE_DIR}/win/WideText.cpp)
target_include_directories(lintrim_engine_tests PRIVATE ${PROJECT_SOURCE_DIR}/win
                                                        ${PROJECT_SOURCE_DIR}/tests/ui/jobs)
target_compile_definitions(lintrim_engine_tests PRIVATE UNICODE _UNICODE)
target_link_libraries(lintrim_engine_tests PRIVATE lintrim_window_jobs comdlg32)

# The Windows window driven through its controls, with its resources; run
# under Wine on a virtual display by tests/win/wine-window.sh.
add_executable(lintrim_window_tests EXCLUDE_FROM_ALL
               ${PROJECT_SOURCE_DIR}/tests/win/WinMainDlgTest.cpp ${PROJECT_SOURCE_DIR}/win/lintrim.rc)
target_link_libraries(lintrim_window_tests PRIVATE lintrim_win gtest_main)
lintrim_warnings(lintrim_window_tests)
