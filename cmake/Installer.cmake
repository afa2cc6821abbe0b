# The installer (installer/ostrevane.nsi) made with makensis from this build's
# QaBrisel.exe: x86-unicode beside the i686 product, amd64-unicode beside the
# x86_64 build that the Wine tests install.
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
