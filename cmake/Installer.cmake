# The installer (installer/ostrevane.nsi) made with makensis from this build's
# QaBrisel.exe: x86-unicode beside the i686 product, amd64-unicode beside the
# x86_64 build that the Wine tests install. Included after WineTests.cmake,
# whose test helpers the installer tests use.
find_program(QB_MAKENSIS makensis REQUIRED)

set(QB_NSIS_TARGET x86-unicode)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QB_NSIS_TARGET amd64-unicode)
endif()

set(QB_INSTALLER_SCRIPT ${CMAKE_CURRENT_SOURCE_DIR}/installer/ostrevane.nsi)
set(QB_INSTALLER ${CMAKE_CURRENT_BINARY_DIR}/OstrevaneSetup.exe)
add_custom_command(
  OUTPUT ${QB_INSTALLER}
  COMMAND ${QB_MAKENSIS} -V2 -INPUTCHARSET UTF8 "-XTarget ${QB_NSIS_TARGET}"
          "-DCLIENT_EXE=$<TARGET_FILE:QaBrisel>"
          "-DICON_FILE=${CMAKE_CURRENT_SOURCE_DIR}/res/QaBrisel.ico"
          "-DOUTFILE=${QB_INSTALLER}"
          "-DVERSION=${PROJECT_VERSION}"
          "-DWEB_HOST=${OPERATOR_WEB_HOST}"
          ${QB_INSTALLER_SCRIPT}
  DEPENDS QaBrisel ${QB_INSTALLER_SCRIPT} ${CMAKE_CURRENT_SOURCE_DIR}/res/QaBrisel.ico
  COMMENT "makensis: OstrevaneSetup.exe (${QB_NSIS_TARGET})"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${QB_INSTALLER})

# The installer as a file: its architecture and its version block.
add_test(NAME installer_check
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/check-installer.sh ${QB_INSTALLER})
set_tests_properties(installer_check PROPERTIES ENVIRONMENT
  "QB_PE_FORMAT=${QB_PE_FORMAT};OBJDUMP=${CMAKE_OBJDUMP};WINDRES=${CMAKE_RC_COMPILER};QB_VERSION=${PROJECT_VERSION}")

# Under Wine: install, upgrade and uninstall in the test prefix, with a
# stand-in for a client that does not quit (tests/installer/).
qb_windows_test_exe(qb_installer_tests ${QB_WIN_TEST_SUPPORT} tests/installer/installer_test.cpp)
add_executable(qb_stuck_client WIN32 tests/installer/stuck_client.cpp)
target_compile_options(qb_stuck_client PRIVATE ${QB_WARNINGS})
target_compile_definitions(qb_stuck_client PRIVATE ${QB_WIN_DEFS})
target_link_options(qb_stuck_client PRIVATE -municode ${QB_STATIC_LINK})
add_dependencies(qb_installer_tests installer QaBrisel qb_stuck_client)
if(QB_WINE_TESTS)
  qb_add_wine_test(win_installer qb_installer_tests 900)
  # The upgrade loop needs the client's upgrade code and the demo operator site,
  # which serves this installer and a version file announcing 3.0.0.1.
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/net/upgrade.h AND
     EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tools/demo-site/demo_site.py)
    set(QB_RELEASE_STATE ${CMAKE_CURRENT_BINARY_DIR}/release-site)
    set(QB_RELEASE_SITE ${CMAKE_CURRENT_SOURCE_DIR}/tests/installer/release-site.sh)
    add_test(NAME release_site_start COMMAND ${QB_RELEASE_SITE} start ${QB_RELEASE_STATE} ${QB_INSTALLER})
    set_tests_properties(release_site_start PROPERTIES FIXTURES_SETUP release TIMEOUT 60)
    add_test(NAME release_site_stop COMMAND ${QB_RELEASE_SITE} stop ${QB_RELEASE_STATE})
    set_tests_properties(release_site_stop PROPERTIES FIXTURES_CLEANUP release TIMEOUT 30)
    set_tests_properties(win_installer PROPERTIES FIXTURES_REQUIRED "wine;release"
                         ENVIRONMENT "QB_RELEASE_SITE=127.0.0.1:18932")
  endif()
endif()
