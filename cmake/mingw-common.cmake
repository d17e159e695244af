# What both MinGW-w64 tool chains share; the toolchain files set
# CMAKE_SYSTEM_PROCESSOR and ZAVERNOK_MINGW_TRIPLE, then include this.

set(CMAKE_SYSTEM_NAME Windows)

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
# .exe files through Wine; scripts/wine-run picks the architecture from the
# program itself.
get_filename_component(CMAKE_CROSSCOMPILING_EMULATOR
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
