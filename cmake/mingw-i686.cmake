# Toolchain: 32-bit Windows (i686) with MinGW-w64, posix-threads variant: the
# product. Used by default from the top-level CMakeLists.txt; can also be
# passed as
#   cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

set(CMAKE_SYSTEM_PROCESSOR x86)
set(ZAVERNOK_MINGW_TRIPLE i686-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
