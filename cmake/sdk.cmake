# The SDK of a Windows build: import libraries for MinGW and MSVC made from src/CommonQ.def, the
# install layout with the CMake package (CommonQ::CommonQ), the release archive (CPack ZIP) and,
# in the Release configuration, the stripped DLL with its debug file beside it and the tests of
# all of that. Everything about the exports is read from the .def, so a new export reaches the
# import libraries and the checks without an edit here.

set(COMMONQ_DEF ${PROJECT_SOURCE_DIR}/src/CommonQ.def)
set(COMMONQ_SDK_LIB_DIR ${CMAKE_BINARY_DIR}/lib)
set(COMMONQ_MINGW_IMPLIB ${COMMONQ_SDK_LIB_DIR}/libCommonQ.dll.a)
set(COMMONQ_MSVC_IMPLIB ${COMMONQ_SDK_LIB_DIR}/CommonQ.lib)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(COMMONQ_LLVM_MACHINE i386)
else()
  set(COMMONQ_LLVM_MACHINE i386:x86-64)
endif()
find_program(COMMONQ_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

# The .def names the exports undecorated. For i686 both tools give the cdecl symbol its leading
# underscore (_MessageBoxDoModal, as MSVC and MinGW expect) and import by the plain name.
add_custom_command(OUTPUT ${COMMONQ_MINGW_IMPLIB} ${COMMONQ_MSVC_IMPLIB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${COMMONQ_SDK_LIB_DIR}
  COMMAND ${MINGW_TRIPLE}-dlltool -d ${COMMONQ_DEF} -D CommonQ.dll -l ${COMMONQ_MINGW_IMPLIB}
  COMMAND ${COMMONQ_LLVM_DLLTOOL} -m ${COMMONQ_LLVM_MACHINE} -d ${COMMONQ_DEF} -D CommonQ.dll -l ${COMMONQ_MSVC_IMPLIB}
  DEPENDS ${COMMONQ_DEF}
  COMMENT "Import libraries of CommonQ.dll for MinGW and MSVC"
  VERBATIM)
add_custom_target(commonq_import_libraries ALL DEPENDS ${COMMONQ_MINGW_IMPLIB} ${COMMONQ_MSVC_IMPLIB})

# The version the VERSIONINFO resource and the package carry: the project's, as three numbers.
set(COMMONQ_VERSION_PATCH 0)
if(NOT PROJECT_VERSION_PATCH STREQUAL "")
  set(COMMONQ_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()
set(COMMONQ_VERSION_TEXT ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${COMMONQ_VERSION_PATCH})
set_property(SOURCE resources/CommonQ.rc APPEND PROPERTY COMPILE_DEFINITIONS
  COMMONQ_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} COMMONQ_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  COMMONQ_VERSION_PATCH=${COMMONQ_VERSION_PATCH})

set(COMMONQ_RELEASE OFF)
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  set(COMMONQ_RELEASE ON)
endif()

# Extra checks of the DLL-table test: every build checks its VERSIONINFO; a Release DLL must be
# stripped with its debug file beside it, and the i686 one (the shipping DLL) must fit 400 KB.
set(COMMONQ_DLL_CHECK_OPTIONS --version ${COMMONQ_VERSION_TEXT})
if(COMMONQ_RELEASE)
  list(APPEND COMMONQ_DLL_CHECK_OPTIONS --stripped)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    list(APPEND COMMONQ_DLL_CHECK_OPTIONS --max-bytes 409600)
  endif()
endif()

if(COMMONQ_RELEASE)
  # The debug information goes to CommonQ.dll.debug beside the DLL, which names it in its
  # .gnu_debuglink section (gdb and other debuggers find it there); the DLL keeps no symbols.
  add_custom_command(TARGET CommonQ POST_BUILD
    COMMAND ${MINGW_TRIPLE}-objcopy --only-keep-debug CommonQ.dll CommonQ.dll.debug
    COMMAND ${MINGW_TRIPLE}-strip --strip-all CommonQ.dll
    COMMAND ${MINGW_TRIPLE}-objcopy --add-gnu-debuglink=CommonQ.dll.debug CommonQ.dll
    WORKING_DIRECTORY ${COMMONQ_BIN}
    VERBATIM)

  # A quiet std::terminate (see the file); it saves the demangler's 46 KB.
  target_sources(CommonQ PRIVATE ${PROJECT_SOURCE_DIR}/src/frame/quiet_terminate.cpp)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/src/frame/quiet_terminate.cpp PROPERTIES
                              COMPILE_OPTIONS "${COMMONQ_WARNINGS};-Werror")
endif()

# Install layout: bin/CommonQ.dll (and its debug file), bin/Languages/, lib/ with both import
# libraries, include/CommonQ.h, lib/cmake/CommonQ/ with the package, and the language-file builder.
include(CMakePackageConfigHelpers)
install(FILES $<TARGET_FILE:CommonQ> DESTINATION bin)
if(COMMONQ_RELEASE)
  install(FILES ${COMMONQ_BIN}/CommonQ.dll.debug DESTINATION bin)
endif()
install(FILES ${COMMONQ_BIN}/Languages/QelmLang.deu DESTINATION bin/Languages)
install(FILES ${COMMONQ_MINGW_IMPLIB} ${COMMONQ_MSVC_IMPLIB} DESTINATION lib)
install(FILES ${PROJECT_SOURCE_DIR}/include/CommonQ.h DESTINATION include)
configure_file(${PROJECT_SOURCE_DIR}/cmake/CommonQConfig.cmake.in ${CMAKE_BINARY_DIR}/package/CommonQConfig.cmake @ONLY)
# The version file also rejects a build of the other pointer size (an i686 package for an
# x86_64 consumer).
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/CommonQConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package/CommonQConfig.cmake ${CMAKE_BINARY_DIR}/package/CommonQConfigVersion.cmake
        DESTINATION lib/cmake/CommonQ)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/languages/build_language.py DESTINATION languages)
install(FILES ${PROJECT_SOURCE_DIR}/languages/README.md ${PROJECT_SOURCE_DIR}/languages/deu.txt DESTINATION languages)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

# The release archive: CommonQ-<version>-<arch>.zip with the install tree in one top folder.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME CommonQ)
set(CPACK_PACKAGE_VENDOR Dravonix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME ${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_PACKAGE_FILE_NAME CommonQ-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

# The SDK tests run on what users get: the Release configuration.
if(COMMONQ_RELEASE)
  set(sdk_test ${PROJECT_SOURCE_DIR}/tests/sdk/sdk_test.sh)
  set(sdk_args ${CMAKE_SYSTEM_PROCESSOR} ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  # Only x86_64 programs are started; the i686 ones are built and their imports checked.
  set(sdk_labels)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(sdk_labels wine)
  endif()
  # The release checks must catch an unstripped DLL: the debug file, checked as if it were the
  # DLL, has debug sections, no debug link and no exports.
  add_test(NAME dll_tables_reject_unstripped
    COMMAND ${PROJECT_SOURCE_DIR}/tools/check-dll-tables.sh ${COMMONQ_DLL_CHECK_OPTIONS}
            ${MINGW_TRIPLE}-objdump ${COMMONQ_BIN}/CommonQ.dll.debug ${COMMONQ_DEF})
  set_tests_properties(dll_tables_reject_unstripped PROPERTIES
    PASS_REGULAR_EXPRESSION "FAIL: not stripped, has debug sections: .*\\.debug_info.*FAIL: no \\.gnu_debuglink section")
  add_test(NAME sdk_msvc_host COMMAND ${sdk_test} msvc ${sdk_args})
  add_test(NAME sdk_cmake_package COMMAND ${sdk_test} package ${sdk_args})
  add_test(NAME sdk_release_archive COMMAND ${sdk_test} archive ${sdk_args})
  set_tests_properties(sdk_msvc_host sdk_cmake_package sdk_release_archive PROPERTIES TIMEOUT 180 LABELS "sdk;${sdk_labels}")
  # The package and archive tests install and pack into the same build folder.
  set_tests_properties(sdk_release_archive PROPERTIES DEPENDS sdk_cmake_package RESOURCE_LOCK commonq_sdk_tree)
  set_tests_properties(sdk_cmake_package PROPERTIES RESOURCE_LOCK commonq_sdk_tree)
endif()
