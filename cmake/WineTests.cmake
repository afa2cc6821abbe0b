# Windows tests, run under Wine in a private prefix and Xvfb display that the
# test run makes first and removes last (ctest fixtures).
set(QB_WINE_STATE ${CMAKE_CURRENT_BINARY_DIR}/wine-session)
set(QB_WINE ${CMAKE_CURRENT_SOURCE_DIR}/tools/wine-session.sh)

function(qb_windows_test_exe name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qb_win gtest)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/tests/win)
  target_compile_options(${name} PRIVATE ${QB_WARNINGS})
  target_link_options(${name} PRIVATE -municode ${QB_STATIC_LINK})
endfunction()

# In-process tests of the Windows code: tests/win/*_test.cpp. Black-box tests
# that start the real QaBrisel.exe are tests/win/blackbox_*_test.cpp.
file(GLOB QB_WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/win/*_test.cpp)
file(GLOB QB_BLACKBOX_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/win/blackbox_*_test.cpp)
list(REMOVE_ITEM QB_WIN_TEST_SOURCES ${QB_BLACKBOX_TEST_SOURCES})
set(QB_WIN_TEST_SUPPORT tests/win/main.cpp tests/win/test_support.cpp)

qb_windows_test_exe(qb_win_tests ${QB_WIN_TEST_SUPPORT} ${QB_WIN_TEST_SOURCES})
qb_windows_test_exe(qb_blackbox_tests ${QB_WIN_TEST_SUPPORT} ${QB_BLACKBOX_TEST_SOURCES})
add_dependencies(qb_blackbox_tests QaBrisel)

# Stands in for the web browser: records its command line and exits.
add_executable(qb_recorder tests/win/recorder.cpp)
target_compile_options(qb_recorder PRIVATE ${QB_WARNINGS})
target_include_directories(qb_recorder PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(qb_recorder PRIVATE ${QB_WIN_DEFS})
target_link_libraries(qb_recorder PRIVATE shell32)
target_link_options(qb_recorder PRIVATE -municode ${QB_STATIC_LINK})
add_dependencies(qb_win_tests qb_recorder)

if(NOT QB_WINE_TESTS)
  return()
endif()

add_test(NAME wine_session_setup COMMAND ${QB_WINE} setup ${QB_WINE_STATE})
set_tests_properties(wine_session_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 400)
add_test(NAME wine_session_teardown COMMAND ${QB_WINE} teardown ${QB_WINE_STATE})
set_tests_properties(wine_session_teardown PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)

function(qb_add_wine_test name target seconds)
  add_test(NAME ${name} COMMAND ${QB_WINE} run ${QB_WINE_STATE} ${seconds} $<TARGET_FILE:${target}> ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${seconds} RESOURCE_LOCK wine)
endfunction()

qb_add_wine_test(win_unit qb_win_tests 300)
qb_add_wine_test(win_blackbox qb_blackbox_tests 600)
