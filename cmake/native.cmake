# Native Linux build: the logic tier and its unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, plus fuzz targets when clang is the compiler, and the benchmark of
# the logic tier's hot paths when Google Benchmark is installed. COMMONQ_SANITIZE=OFF builds
# without the sanitizers (and without the fuzz targets), for benchmarking an optimised build.
option(COMMONQ_SANITIZE "Build the native logic tier and its tests under ASan and UBSan" ON)
set(COMMONQ_SANITIZER_FLAGS)
if(COMMONQ_SANITIZE)
  set(COMMONQ_SANITIZER_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
endif()

target_compile_options(commonq_logic PUBLIC ${COMMONQ_SANITIZER_FLAGS} -g)
target_link_options(commonq_logic PUBLIC ${COMMONQ_SANITIZER_FLAGS})

find_package(GTest REQUIRED)
include(GoogleTest)
file(GLOB COMMONQ_UNIT_TESTS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*_test.cpp)
add_executable(commonq_unit_tests ${COMMONQ_UNIT_TESTS})
target_link_libraries(commonq_unit_tests PRIVATE commonq_logic GTest::gtest GTest::gtest_main)
target_compile_options(commonq_unit_tests PRIVATE ${COMMONQ_WARNINGS} -Werror)
gtest_discover_tests(commonq_unit_tests DISCOVERY_MODE PRE_TEST)

# Every function the system calls back is built through the guarded adapters of
# frame/guarded_callback.h; the check also has to refuse one that is not.
add_test(NAME callback_guard_check COMMAND ${PROJECT_SOURCE_DIR}/tools/check-callbacks.sh ${PROJECT_SOURCE_DIR}/src)
add_test(NAME callback_guard_check_refuses
  COMMAND ${PROJECT_SOURCE_DIR}/tools/check-callbacks.sh ${PROJECT_SOURCE_DIR}/tests/native/callback_check)
set_tests_properties(callback_guard_check_refuses PROPERTIES
  PASS_REGULAR_EXPRESSION "FAIL: [^\n]*unguarded_subclass\\.cpp:3:[^\n]*\n  a function the system calls back is built here without")


# Where a dialog's texts carry mnemonics, each letter is underlined once per dialog, in the English
# templates and in the German sample; the check must also catch a clash.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME mnemonic_check
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check-mnemonics.py ${PROJECT_SOURCE_DIR}/resources
          ${PROJECT_SOURCE_DIR}/languages/deu.txt)
add_test(NAME mnemonic_check_refuses
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check-mnemonics.py ${PROJECT_SOURCE_DIR}/resources
          ${PROJECT_SOURCE_DIR}/tests/native/mnemonic_check/clash.txt)
set_tests_properties(mnemonic_check_refuses PROPERTIES
  PASS_REGULAR_EXPRESSION "CLASH [^\n]*clash\\.txt: dialog 1010: '&w' on 1017 [^\n]*, 1018 ")

# The benchmark of the logic tier's hot paths. Built in every native build so that it keeps
# compiling; tools/benchmark.sh runs it from an optimised build without sanitizers.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(commonq_logic_benchmark tools/benchmark/logic_benchmark.cpp)
  target_link_libraries(commonq_logic_benchmark PRIVATE commonq_logic benchmark::benchmark)
  target_compile_options(commonq_logic_benchmark PRIVATE ${COMMONQ_WARNINGS} -Werror)
endif()

# libFuzzer targets (clang only), each under AddressSanitizer and UndefinedBehaviorSanitizer, where
# a failed check or any undefined behaviour aborts, and each with a short bounded run as a test.
# tools/fuzz.sh runs them longer.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND COMMONQ_SANITIZE)
  set(COMMONQ_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  # The logic tier once more with coverage instrumentation, so that libFuzzer is guided by the
  # branches of the library and not only by those of the targets.
  add_library(commonq_logic_fuzz STATIC ${COMMONQ_LOGIC_SOURCES})
  target_include_directories(commonq_logic_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
  target_compile_options(commonq_logic_fuzz PRIVATE ${COMMONQ_WARNINGS} -Werror -g -fsanitize=fuzzer-no-link
                         -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  function(commonq_fuzz_target name source max_len)
    add_executable(${name} ${source})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_compile_options(${name} PRIVATE ${COMMONQ_WARNINGS} -Werror -g ${COMMONQ_FUZZ_FLAGS})
    target_link_options(${name} PRIVATE ${COMMONQ_FUZZ_FLAGS})
    target_link_libraries(${name} PRIVATE commonq_logic_fuzz)
    add_test(NAME ${name} COMMAND ${name} -runs=20000 -seed=1 -max_len=${max_len})
    set_property(GLOBAL APPEND PROPERTY COMMONQ_FUZZ_TARGETS ${name})
  endfunction()

  # The caller's filter list and the scale text (box and registry).
  commonq_fuzz_target(commonq_fuzz_filter_scale tests/fuzz/filter_scale_fuzz.cpp 512)
  # The task dialog's template writer: whatever is written reads back.
  commonq_fuzz_target(template_writer_fuzz tests/fuzz/template_writer_fuzz.cpp 4096)
  # The preview's bitmap header handling and the size format of the file information dialog.
  commonq_fuzz_target(preview_dib_fuzz tests/fuzz/preview_dib_fuzz.cpp 4096)
  # The task dialog's link markup, mnemonics, command-link split and Ctrl+C copy.
  commonq_fuzz_target(task_dialog_text_fuzz tests/fuzz/task_dialog_text_fuzz.cpp 4096)
  # The acceptance of registry answers by the settings store.
  commonq_fuzz_target(settings_rules_fuzz tests/fuzz/settings_rules_fuzz.cpp 4096)
  # The Add a Favorite name filter, path composition, folder order and overwrite question.
  commonq_fuzz_target(favorite_rules_fuzz tests/fuzz/favorite_rules_fuzz.cpp 1024)
  # tools/fuzz.sh runs the targets this list names, so a new one needs no second list there.
  get_property(commonq_fuzz_targets GLOBAL PROPERTY COMMONQ_FUZZ_TARGETS)
  list(JOIN commonq_fuzz_targets "\n" commonq_fuzz_targets)
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz_targets.txt "${commonq_fuzz_targets}\n")
endif()
