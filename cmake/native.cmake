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


# libFuzzer target for the filter-list and scale parsers (clang only), with a short bounded run
# as a test.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_executable(commonq_fuzz_filter_scale tests/fuzz/filter_scale_fuzz.cpp
                 src/filedialogs/filter_list.cpp src/filedialogs/scale_text.cpp)
  target_include_directories(commonq_fuzz_filter_scale PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(commonq_fuzz_filter_scale PRIVATE ${COMMONQ_WARNINGS} -Werror -g
                         -fsanitize=fuzzer,address,undefined)
  target_link_options(commonq_fuzz_filter_scale PRIVATE -fsanitize=fuzzer,address,undefined)
  add_test(NAME fuzz_filter_scale COMMAND commonq_fuzz_filter_scale -runs=20000 -seed=1 -max_len=512)

  # The template writer's fuzz target, likewise.
  add_executable(template_writer_fuzz tests/fuzz/template_writer_fuzz.cpp)
  target_include_directories(template_writer_fuzz PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_options(template_writer_fuzz PRIVATE -fsanitize=fuzzer ${COMMONQ_WARNINGS} -Werror)
  target_link_options(template_writer_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_libraries(template_writer_fuzz PRIVATE commonq_logic)
  add_test(NAME template_writer_fuzz COMMAND template_writer_fuzz -runs=20000 -seed=1)

  # The preview's bitmap header handling and the size format of the file information dialog.
  add_executable(preview_dib_fuzz tests/fuzz/preview_dib_fuzz.cpp)
  target_compile_options(preview_dib_fuzz PRIVATE -fsanitize=fuzzer ${COMMONQ_WARNINGS} -Werror)
  target_link_options(preview_dib_fuzz PRIVATE -fsanitize=fuzzer)
  target_link_libraries(preview_dib_fuzz PRIVATE commonq_logic)
  add_test(NAME preview_dib_fuzz COMMAND preview_dib_fuzz -runs=20000 -seed=1 -max_len=4096)
endif()
