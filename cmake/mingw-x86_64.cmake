# Toolchain: 64-bit Windows (x86_64) with MinGW-w64, posix-threads variant:
# the x64 twin, built from the same sources as the product.
#   cmake -S . -B build/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(ZAVERNOK_MINGW_TRIPLE x86_64-w64-mingw32)
include("${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake")
