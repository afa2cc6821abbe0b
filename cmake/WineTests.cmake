# Windows tests, run under Wine in a private prefix and Xvfb display that the
# test run makes first and removes last (ctest fixtures).
set(QB_WINE_STATE ${CMAKE_CURRENT_BINARY_DIR}/wine-session)
set(QB_WINE ${CMAKE_CURRENT_SOURCE_DIR}/tools/wine-session.sh)

function(qb_windows_test_exe name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE qb_win gtest ws2_32)
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

# The in-process tests carry the program's resources, so forms under test find
# their pictures and menus in their own module, as in QaBrisel.exe.
qb_windows_test_exe(qb_win_tests ${QB_WIN_TEST_SUPPORT} ${QB_WIN_TEST_SOURCES} res/QaBrisel.rc)
target_include_directories(qb_win_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/res)
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

# The application windows' tests answer modal menus and message boxes and
# wait for the tray, which takes a while: they run as a test of their own, as do
# the upgrade check and cache clearing (below).
set(QB_WINDOW_TESTS "GameWindow*:QQLogin*")
set(QB_UPGRADE_TESTS "UpgradeCheck.*:ClearUrlCache.*")
qb_add_wine_test(win_unit qb_win_tests 300 --gtest_filter=-${QB_WINDOW_TESTS}:${QB_UPGRADE_TESTS})
qb_add_wine_test(win_unit_windows qb_win_tests 300 --gtest_filter=${QB_WINDOW_TESTS})
qb_add_wine_test(win_blackbox qb_blackbox_tests 600)

# The loopback HTTP server the download tests talk to (port 18931; the tests
# read QB_TEST_SERVER_PORT).
set(QB_HTTP_STATE ${CMAKE_CURRENT_BINARY_DIR}/http-server)
set(QB_HTTP_PORT 18931)
add_test(NAME http_server_start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/http-test-server.sh
         start ${QB_HTTP_STATE} ${QB_HTTP_PORT} 1200 $<TARGET_FILE:qb_recorder>)
set_tests_properties(http_server_start PROPERTIES FIXTURES_SETUP http TIMEOUT 30)
add_test(NAME http_server_stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/http-test-server.sh
         stop ${QB_HTTP_STATE})
set_tests_properties(http_server_stop PROPERTIES FIXTURES_CLEANUP http TIMEOUT 30)
set_tests_properties(win_unit PROPERTIES FIXTURES_REQUIRED "wine;http"
                     ENVIRONMENT "QB_TEST_SERVER_PORT=${QB_HTTP_PORT}")

# A worker killed inside WinINet may leave WinINet unusable for its process, so
# that test runs in a process of its own.
qb_add_wine_test(win_net_stalled_stop qb_win_tests 120
                 --gtest_also_run_disabled_tests --gtest_filter=WorkersStalled.*)
set_tests_properties(win_net_stalled_stop PROPERTIES FIXTURES_REQUIRED "wine;http"
                     ENVIRONMENT "QB_TEST_SERVER_PORT=${QB_HTTP_PORT}")

# The upgrade check changes process-wide state (the once-per-run flag, the
# download workers, WinINet's cache), and its message boxes make it slow under
# Wine: a process of its own, off win_unit's clock.
qb_add_wine_test(win_upgrade qb_win_tests 240 --gtest_filter=${QB_UPGRADE_TESTS})
set_tests_properties(win_upgrade PROPERTIES FIXTURES_REQUIRED "wine;http"
                     ENVIRONMENT "QB_TEST_SERVER_PORT=${QB_HTTP_PORT}")

# Ten rounds of game and QQ login windows: long under Wine, so in a process of its own.
qb_add_wine_test(win_login_flow_rounds qb_win_tests 300
                 --gtest_also_run_disabled_tests --gtest_filter=LoginFlow.DISABLED_*)

# The demo operator site the client's login page comes from (127.0.0.1:8910).
set(QB_DEMO_STATE ${CMAKE_CURRENT_BINARY_DIR}/demo-site)
add_test(NAME demo_site_start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/demo-site/demo-site.sh
         start ${QB_DEMO_STATE})
set_tests_properties(demo_site_start PROPERTIES FIXTURES_SETUP demo TIMEOUT 30)
add_test(NAME demo_site_stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/demo-site/demo-site.sh
         stop ${QB_DEMO_STATE})
set_tests_properties(demo_site_stop PROPERTIES FIXTURES_CLEANUP demo TIMEOUT 30)
set_tests_properties(win_blackbox PROPERTIES FIXTURES_REQUIRED "wine;demo"
                     ENVIRONMENT "QB_DEMO_LOG=Z:${QB_DEMO_STATE}/requests.log")
