# Native (Linux) build: the platform-independent core and its GoogleTest tests,
# with AddressSanitizer and UndefinedBehaviorSanitizer.
find_package(GTest REQUIRED)

if(QB_SANITIZE)
  set(QB_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_compile_options(qb_core PRIVATE ${QB_SAN_FLAGS})
  target_link_options(qb_core PUBLIC ${QB_SAN_FLAGS})
endif()

file(GLOB QB_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/native/*.cpp)
add_executable(qb_native_tests ${QB_NATIVE_TESTS})
target_link_libraries(qb_native_tests PRIVATE qb_core GTest::gtest GTest::gtest_main)
target_compile_options(qb_native_tests PRIVATE ${QB_WARNINGS} ${QB_SAN_FLAGS})
include(GoogleTest)
gtest_discover_tests(qb_native_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
