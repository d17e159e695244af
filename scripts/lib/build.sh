# shellcheck shell=bash
# Configure and build (Release) one architecture: x86 into <repo>/build,
# x64 into <repo>/build/x64. Source after setting ZV_ROOT.

# shellcheck source-path=SCRIPTDIR source=arch.sh
. "$ZV_ROOT/scripts/lib/arch.sh"

# zv_configure_and_build ARCH [TARGET...]
zv_configure_and_build() {
    local arch=$1 build
    shift
    build=$(zv_build_dir "$arch")
    local args=(-S "$ZV_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release)
    # The toolchain only matters on the first configure; passing it again
    # makes CMake warn that the variable is unused.
    if [[ ! -f $build/CMakeCache.txt ]]; then
        args+=(-DCMAKE_TOOLCHAIN_FILE="$(zv_toolchain_file "$arch")")
    fi
    local targets=()
    [[ $# -eq 0 ]] || targets=(--target "$@")
    cmake "${args[@]}"
    cmake --build "$build" -j2 "${targets[@]}"
}
