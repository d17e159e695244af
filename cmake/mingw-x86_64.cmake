# Toolchain: 64-bit Windows (x86_64) with MinGW-w64, posix-threads variant.
# Used by default from the top-level CMakeLists.txt; can also be passed as
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(ZAVERNOK_MINGW_TRIPLE x86_64-w64-mingw32)

# The unsuffixed compilers are the win32-threads variant; GoogleTest and
# std::thread need the posix one.
set(CMAKE_C_COMPILER   ${ZAVERNOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZAVERNOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${ZAVERNOK_MINGW_TRIPLE}-windres)

# Look for headers and libraries only in the cross sysroot, for programs only
# on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZAVERNOK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest (and add_test/add_custom_command with a target as command) runs the
# .exe files through Wine.
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
