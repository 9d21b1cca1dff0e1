# quorvella_add_gtest(NAME SOURCES a.cpp ... LIBS lib ...)
# One GoogleTest executable per unit, registered with ctest as one test.
find_package(GTest REQUIRED)

function(quorvella_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE quorvella_common GTest::gtest GTest::gtest_main GTest::gmock ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
endfunction()

# quorvella_add_qtest(NAME SOURCES a.cpp ... LIBS lib ...)
# One QtTest executable per unit, run headless on the offscreen platform.
function(quorvella_add_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE quorvella_common Qt6::Test ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
