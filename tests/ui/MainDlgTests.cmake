# The main window's suites, included from tests/CMakeLists.txt. Offscreen;
# they run real jobs on temporary files.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

foreach(suite IN ITEMS tst_MainDlg tst_MainDlgRuns)
  add_executable(ui_${suite} ${CMAKE_CURRENT_LIST_DIR}/${suite}.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/MainDlgTestKit.h)
  set_target_properties(ui_${suite} PROPERTIES AUTOMOC ON)
  target_include_directories(ui_${suite} PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(ui_${suite} PRIVATE lintrim_ui Qt6::Test)
  lintrim_warnings(ui_${suite})
  add_test(NAME ui_${suite} COMMAND ui_${suite})
  set(environment "QT_QPA_PLATFORM=offscreen")
  if(LINTRIM_SANITIZE MATCHES "thread")
    list(APPEND environment "TSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/../tsan.supp")
  endif()
  set_tests_properties(ui_${suite} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 300)
endforeach()
