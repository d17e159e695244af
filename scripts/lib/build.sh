# shellcheck shell=bash
# Configure and build into <repo>/build (Release). Source after setting ZV_ROOT.

zv_configure_and_build() {
    local build=$ZV_ROOT/build
    local args=(-S "$ZV_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release)
    # The toolchain only matters on the first configure; passing it again
    # makes CMake warn that the variable is unused.
    if [[ ! -f $build/CMakeCache.txt ]]; then
        args+=(-DCMAKE_TOOLCHAIN_FILE="$ZV_ROOT/cmake/mingw-i686.cmake")
    fi
    cmake "${args[@]}"
    cmake --build "$build" -j2
}
