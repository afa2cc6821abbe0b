# Windows build (mingw-w64): the client, its in-process tests and the black-box
# tests, all statically linked so nothing but system DLLs sits beside them.
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/app/build_config.h.in
               ${CMAKE_CURRENT_BINARY_DIR}/generated/app/build_config.h @ONLY)

set(QB_WIN_DEFS UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
set(QB_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(QB_SYSTEM_LIBS ole32 oleaut32 uuid shell32 shlwapi gdi32 user32 advapi32
    wininet gdiplus msimg32 windowscodecs)

target_compile_definitions(qb_core PUBLIC ${QB_WIN_DEFS})

# Everything of the client except its entry point, so tests can link it: the
# Windows code of every subsystem (their platform-independent parts are in qb_core).
file(GLOB QB_WIN_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/net/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/browser/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/windows/*.cpp)
list(REMOVE_ITEM QB_WIN_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
add_library(qb_win STATIC ${QB_WIN_SOURCES})
target_include_directories(qb_win PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_compile_options(qb_win PRIVATE ${QB_WARNINGS})
target_link_libraries(qb_win PUBLIC qb_core ${QB_SYSTEM_LIBS})

add_executable(QaBrisel WIN32 app/main.cpp res/QaBrisel.rc)
target_link_libraries(QaBrisel PRIVATE qb_win)
target_compile_options(QaBrisel PRIVATE ${QB_WARNINGS})
target_link_options(QaBrisel PRIVATE -municode ${QB_STATIC_LINK} $<$<CONFIG:Release>:-s>)
# The resource script is compiled again when any file it takes in changes. The
# property belongs to this directory, so it holds for every target here that
# compiles res/QaBrisel.rc (also qb_win_tests, cmake/WineTests.cmake).
file(GLOB QB_ART_FILES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/res/art/*.png
     ${CMAKE_CURRENT_SOURCE_DIR}/res/art/*.bmp)
set_source_files_properties(res/QaBrisel.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/res/QaBrisel.ico;${CMAKE_CURRENT_SOURCE_DIR}/res/QaBrisel.manifest;${QB_ART_FILES}")
target_include_directories(QaBrisel PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/res)

# GoogleTest, compiled from Debian's source package for this target.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Benchmarks: built with the client, run by hand (see README, "Benchmarks").
add_executable(bench_minimal_showdesktop WIN32 bench/minimal_showdesktop.cpp)
target_compile_definitions(bench_minimal_showdesktop PRIVATE ${QB_WIN_DEFS})
target_link_libraries(bench_minimal_showdesktop PRIVATE ole32 uuid user32)
target_link_options(bench_minimal_showdesktop PRIVATE -municode ${QB_STATIC_LINK} -s)

# The shipped file itself: architecture, subsystem, imports, resources.
add_test(NAME pe_check COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/check-pe.sh $<TARGET_FILE:QaBrisel>)
set(QB_PE_FORMAT pei-i386)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QB_PE_FORMAT pei-x86-64)
endif()
set_tests_properties(pe_check PROPERTIES ENVIRONMENT
  "QB_PE_FORMAT=${QB_PE_FORMAT};OBJDUMP=${CMAKE_OBJDUMP};WINDRES=${CMAKE_RC_COMPILER}")

# The Wine tests are built for both targets and run where Wine can run them:
# the i686 build cannot run on kernels without 32-bit support (see README).
option(QB_WINE_TESTS "Run the Windows tests under Wine" ON)
include(cmake/Bench.cmake)
include(cmake/WineTests.cmake)
include(cmake/Installer.cmake)
