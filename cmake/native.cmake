# Native Linux build: the logic tier and its unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, plus fuzz targets when clang is the compiler.
set(COMMONQ_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(commonq_logic STATIC ${COMMONQ_LOGIC_SOURCES})
target_include_directories(commonq_logic PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
target_compile_options(commonq_logic PRIVATE ${COMMONQ_WARNINGS} -Werror)
target_compile_options(commonq_logic PUBLIC ${COMMONQ_SANITIZE} -g)
target_link_options(commonq_logic PUBLIC ${COMMONQ_SANITIZE})

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB COMMONQ_UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(commonq_unit_tests ${COMMONQ_UNIT_TESTS})
target_link_libraries(commonq_unit_tests PRIVATE commonq_logic GTest::gtest GTest::gtest_main)
target_compile_options(commonq_unit_tests PRIVATE ${COMMONQ_WARNINGS})
gtest_discover_tests(commonq_unit_tests DISCOVERY_MODE PRE_TEST)

