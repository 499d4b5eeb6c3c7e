# Cross build with mingw-w64: CommonQ.dll, the sample language file, the Wine tests and the demo.
set(COMMONQ_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${COMMONQ_BIN})
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${COMMONQ_BIN})
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600
                        STRICT)
# The test seams (fault injection, a stand-in platform for the task dialog) exist in the test
# builds only; the Release DLL, the one users get, has none (tools/check-dll-tables.sh checks it).
if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
  add_compile_definitions(COMMONQ_TEST_SEAMS=1)
endif()
set(COMMONQ_SYSTEM_LIBS comctl32 comdlg32 shell32 shlwapi ole32 advapi32 gdi32 user32 msimg32 kernel32)

# The Win32 tier is an object library so that the white-box Wine tests link the very objects
# that make up the DLL.
set(COMMONQ_WIN32_SOURCES
  src/frame/export_call.cpp
  src/frame/window_binding.cpp
  src/frame/platform_version.cpp
  src/frame/header_band.cpp
  src/frame/guarded_callback.cpp
  src/frame/dialog_base.cpp
  src/frame/high_contrast.cpp
  src/frame/settings_store.cpp
  src/frame/dialog_translator.cpp
  src/msgbox/message_box.cpp
  src/color/color_chooser.cpp
  src/filedialogs/format_options.cpp
  src/filedialogs/jpeg_dialog.cpp
  src/filedialogs/format_dialog.cpp
  src/filedialogs/obj_dialog.cpp
  src/filedialogs/file_dialog.cpp
  src/filedialogs/modern_file_dialog.cpp
  src/taskdialog/task_dialog_entry.cpp
  src/taskdialog/task_dialog_model.cpp
  src/taskdialog/task_dialog_template.cpp
  src/taskdialog/task_dialog_run.cpp
  src/taskdialog/task_dialog_state.cpp
  src/taskdialog/task_dialog_procedure.cpp
  src/taskdialog/task_dialog_paint.cpp
  src/taskdialog/task_dialog_copy.cpp
  src/taskdialog/task_message_box.cpp
  src/favorites/name_filter_edit.cpp
  src/favorites/options_toggle.cpp
  src/favorites/folder_combo.cpp
  src/favorites/add_favorite_dialog.cpp
  src/fileinfo/preview_dib.cpp
  src/fileinfo/file_info_dialog.cpp
)
add_library(commonq_win32 OBJECT ${COMMONQ_WIN32_SOURCES})
target_include_directories(commonq_win32 PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include)
target_compile_options(commonq_win32 PRIVATE ${COMMONQ_WARNINGS} -Werror)
target_compile_definitions(commonq_win32 PRIVATE COMMONQ_BUILDING)
target_link_libraries(commonq_win32 PUBLIC commonq_logic)

# Icons and the bitmap are drawn by a script, so they can be changed and rebuilt from source.
set(COMMONQ_ART_DIR ${CMAKE_BINARY_DIR}/art)
set(COMMONQ_ART_FILES arrow_hot.ico arrow.ico expando_expanded.ico expando_collapsed.ico favorites.ico disclosure.bmp)
list(TRANSFORM COMMONQ_ART_FILES PREPEND ${COMMONQ_ART_DIR}/ OUTPUT_VARIABLE COMMONQ_ART_OUTPUTS)
add_custom_command(OUTPUT ${COMMONQ_ART_OUTPUTS}
  COMMAND python3 ${PROJECT_SOURCE_DIR}/resources/draw_art.py ${COMMONQ_ART_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/draw_art.py
  COMMENT "Drawing the library's icons and bitmap")
add_custom_target(commonq_art DEPENDS ${COMMONQ_ART_OUTPUTS})
set_source_files_properties(resources/CommonQ.rc PROPERTIES OBJECT_DEPENDS "${COMMONQ_ART_OUTPUTS}")
# windres reports no dependencies: every .rc and id header it may include is named here.
file(GLOB COMMONQ_RESOURCE_INCLUDES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.rc ${PROJECT_SOURCE_DIR}/resources/*.h
     ${PROJECT_SOURCE_DIR}/resources/*.manifest)
list(REMOVE_ITEM COMMONQ_RESOURCE_INCLUDES ${PROJECT_SOURCE_DIR}/resources/CommonQ.rc)
set_property(SOURCE resources/CommonQ.rc APPEND PROPERTY OBJECT_DEPENDS ${COMMONQ_RESOURCE_INCLUDES})

# comctl32 by ordinal (see the .def): an import library of our own, made with dlltool.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(DECORATION_0 "@0")
  set(DECORATION_12 "@12")
  set(DECORATION_16 "@16")
endif()
configure_file(cmake/comctl32_ordinals.def.in ${CMAKE_BINARY_DIR}/comctl32_ordinals.def @ONLY)
set(COMMONQ_COMCTL32_ORDINALS ${CMAKE_BINARY_DIR}/libcomctl32_ordinals.a)
add_custom_command(OUTPUT ${COMMONQ_COMCTL32_ORDINALS}
  COMMAND ${MINGW_TRIPLE}-dlltool -d ${CMAKE_BINARY_DIR}/comctl32_ordinals.def -l ${COMMONQ_COMCTL32_ORDINALS}
          $<$<STREQUAL:${CMAKE_SYSTEM_PROCESSOR},i686>:--kill-at>
  DEPENDS ${CMAKE_BINARY_DIR}/comctl32_ordinals.def)
add_custom_target(commonq_comctl32_ordinals DEPENDS ${COMMONQ_COMCTL32_ORDINALS})

add_library(CommonQ SHARED resources/CommonQ.rc src/CommonQ.def $<TARGET_OBJECTS:commonq_win32>)
add_dependencies(CommonQ commonq_art)
set_target_properties(CommonQ PROPERTIES PREFIX "" OUTPUT_NAME CommonQ)
target_include_directories(CommonQ PRIVATE ${COMMONQ_ART_DIR} ${PROJECT_SOURCE_DIR}/resources)
add_dependencies(CommonQ commonq_comctl32_ordinals)
target_link_libraries(CommonQ PRIVATE commonq_logic ${COMMONQ_COMCTL32_ORDINALS} ${COMMONQ_SYSTEM_LIBS})
target_link_options(CommonQ PRIVATE -Wl,--kill-at -Wl,--enable-stdcall-fixup)

add_subdirectory(languages)

# GoogleTest from Debian's sources, cross-compiled.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)
file(GLOB COMMONQ_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/wine/*_test.cpp)
add_executable(commonq_wine_tests ${COMMONQ_WINE_TEST_SOURCES} tests/wine/library_fixture.cpp $<TARGET_OBJECTS:commonq_win32>)
target_include_directories(commonq_wine_tests PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR}/tests)
# The tests call the exports the way a host does, through the import table, so every call goes to
# CommonQ.dll. The DLL's objects are linked in as well (for the white-box tests), so this import
# library names the exports as DATA: it only holds their __imp_ pointers, no second definition of
# each function.
file(READ ${PROJECT_SOURCE_DIR}/src/CommonQ.def COMMONQ_DEF_TEXT)
string(REGEX REPLACE "\n  ([A-Za-z0-9_]+)" "\n  \\1 DATA" COMMONQ_DEF_TEXT "${COMMONQ_DEF_TEXT}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/CommonQ_imports.def CONTENT "${COMMONQ_DEF_TEXT}" @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/CommonQ.def)
set(COMMONQ_TEST_IMPORTS ${CMAKE_BINARY_DIR}/libCommonQ_imports.a)
add_custom_command(OUTPUT ${COMMONQ_TEST_IMPORTS}
  COMMAND ${MINGW_TRIPLE}-dlltool -d ${CMAKE_BINARY_DIR}/CommonQ_imports.def -D CommonQ.dll -l ${COMMONQ_TEST_IMPORTS}
  DEPENDS ${CMAKE_BINARY_DIR}/CommonQ_imports.def)
add_custom_target(commonq_test_imports DEPENDS ${COMMONQ_TEST_IMPORTS})
add_dependencies(commonq_wine_tests commonq_comctl32_ordinals commonq_test_imports)
target_link_libraries(commonq_wine_tests PRIVATE commonq_test_support commonq_logic gtest gtest_main ${COMMONQ_TEST_IMPORTS}
                      ${COMMONQ_COMCTL32_ORDINALS} ${COMMONQ_SYSTEM_LIBS})
target_compile_options(commonq_wine_tests PRIVATE ${COMMONQ_WARNINGS} -Werror)
add_dependencies(commonq_wine_tests CommonQ commonq_languages)
# The Wine test programs are always built; they are registered with CTest only where this
# machine can run them (tools/build.sh switches them off for i686 when 32-bit code cannot run),
# because test discovery itself starts the program. The Release configuration runs them too, on
# the DLL users get; the white-box cases that need a test seam are compiled out there.
option(COMMONQ_WINE_TESTS "Register the Wine tests of this build with CTest" ON)
if(COMMONQ_WINE_TESTS)
  # The emulated task dialog tests and the other Windows XP tests run from the XP copy below.
  gtest_discover_tests(commonq_wine_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 TEST_FILTER -EmulatedRun.*:OnWindowsXp*
                       WORKING_DIRECTORY ${COMMONQ_BIN} PROPERTIES TIMEOUT 90 LABELS wine)
endif()
add_subdirectory(tests/support)

# The public header compiles as C99 with -pedantic; as C++ with -pedantic it is checked where the
# Wine tests include it like a host (tests/wine/library_fixture.cpp, which also links the exports
# by their C names).
add_library(commonq_header_check OBJECT tests/header/header_c99.c)
target_include_directories(commonq_header_check PRIVATE ${PROJECT_SOURCE_DIR}/include)
set_source_files_properties(tests/header/header_c99.c PROPERTIES COMPILE_OPTIONS "-std=c99;-Wall;-Wextra;-pedantic;-Werror")
set_source_files_properties(tests/wine/library_fixture.cpp PROPERTIES COMPILE_OPTIONS "-pedantic;-Werror")
add_dependencies(CommonQ commonq_header_check)

add_subdirectory(tools/demo)

# Import libraries, install layout and package, release archive, Release configuration.
include(${PROJECT_SOURCE_DIR}/cmake/sdk.cmake)

# The DLL exports exactly the built functions, undecorated, and imports system DLLs only; it
# carries its version, and a Release DLL is stripped and small enough (COMMONQ_DLL_CHECK_OPTIONS).
add_test(NAME dll_tables
  COMMAND ${PROJECT_SOURCE_DIR}/tools/check-dll-tables.sh ${COMMONQ_DLL_CHECK_OPTIONS}
          ${MINGW_TRIPLE}-objdump $<TARGET_FILE:CommonQ> ${PROJECT_SOURCE_DIR}/src/CommonQ.def)
set_tests_properties(dll_tables PROPERTIES SKIP_RETURN_CODE 77)

# A copy of the test executable that Wine is told to run as Windows XP, where the library shows
# its own task dialog instead of forwarding.
add_custom_command(TARGET commonq_wine_tests POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:commonq_wine_tests> ${COMMONQ_BIN}/commonq_wine_tests_xp.exe)
if(COMMONQ_WINE_TESTS)
  add_test(NAME task_dialog_emulated_xp
    COMMAND ${PROJECT_SOURCE_DIR}/tests/support/wine-run.sh ${COMMONQ_BIN}/commonq_wine_tests_xp.exe
            --gtest_filter=EmulatedRun*:OnWindowsXp*:EveryExport/*TaskDialogIndirect98
    WORKING_DIRECTORY ${COMMONQ_BIN})
  set_tests_properties(task_dialog_emulated_xp PROPERTIES TIMEOUT 300 LABELS wine)
endif()
