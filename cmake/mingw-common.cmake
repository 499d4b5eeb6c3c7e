# Shared by both mingw-w64 toolchains. The -posix compilers give std::thread and std::mutex;
# -static keeps libstdc++, libgcc and winpthread inside the binaries so that they import
# system DLLs only.
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/support/wine-run.sh)
# Release: what users get. Optimised for size, every function and object in its own section so
# that the linker drops what nothing references; -g only feeds the separate debug file (the DLL
# itself is stripped after linking, see cmake/sdk.cmake). Cache entries, because CMake's own
# Windows-GNU defaults would append -O3 to flags given as *_INIT.
set(CMAKE_C_FLAGS_RELEASE "-Os -g -ffunction-sections -fdata-sections -DNDEBUG" CACHE STRING "Release C flags")
set(CMAKE_CXX_FLAGS_RELEASE "-Os -g -ffunction-sections -fdata-sections -DNDEBUG" CACHE STRING "Release C++ flags")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "-Wl,--gc-sections" CACHE STRING "Release DLL link flags")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-Wl,--gc-sections" CACHE STRING "Release program link flags")
