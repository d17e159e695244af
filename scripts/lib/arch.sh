# shellcheck shell=bash
# The two builds and which of them this machine can run. Source after
# setting ZV_ROOT; the functions expect `set -euo pipefail`.
#
# The product is the x86 DLL in build/; the x64 twin, built from the same
# sources, lives in build/x64/. Some kernels run no 32-bit programs at all
# (Wine's 32-bit loader included): there the x86 build is only built and its
# file checked, and everything that runs, runs on x64.

zv_build_dir() {
    case $1 in
        x86) printf '%s\n' "$ZV_ROOT/build" ;;
        x64) printf '%s\n' "$ZV_ROOT/build/x64" ;;
        *) printf 'unknown architecture %s\n' "$1" >&2; return 1 ;;
    esac
}

zv_toolchain_file() {
    case $1 in
        x86) printf '%s\n' "$ZV_ROOT/cmake/mingw-i686.cmake" ;;
        x64) printf '%s\n' "$ZV_ROOT/cmake/mingw-x86_64.cmake" ;;
        *) printf 'unknown architecture %s\n' "$1" >&2; return 1 ;;
    esac
}

# Where the answer of the probe below is kept, with the boot it holds for:
# whether 32-bit programs run is the kernel's configuration, which can
# change with a reboot (and a build folder can be copied to another machine).
ZV_MACHINE_FILE=$ZV_ROOT/build/machine-x86
ZV_X86_RUNS=
ZV_X86_WHY_NOT=

zv_boot_id() {
    cat /proc/sys/kernel/random/boot_id 2>/dev/null || uname -srv
}

# Finds out whether this machine runs 32-bit x86 programs by running the
# smallest one there is: a static i386 ELF (93 bytes) whose code is
# exit(0) through int 0x80. The architecture's name does not tell: an x86-64
# kernel can have its 32-bit emulation switched off.
zv_probe_x86() {
    local dir=$ZV_ROOT/build probe err rc=0
    mkdir -p "$dir"
    probe=$dir/probe-i386
    {
        # ELF header: 32-bit, little-endian, executable, i386, entry
        # 0x08048054, one program header at offset 52.
        printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
        printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
        printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
        printf '\x00\x00\x00\x00'
        # One PT_LOAD of the whole file at 0x08048000, readable and executable.
        printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
        printf '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
        # xor ebx, ebx; mov eax, 1 (exit); int 0x80
        printf '\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80'
    } >"$probe"
    chmod +x "$probe"
    err=$("$probe" 2>&1) || rc=$?
    rm -f "$probe"
    if [[ $rc -eq 0 ]]; then
        ZV_X86_RUNS=yes
        ZV_X86_WHY_NOT=
    elif [[ $err == *"format error"* ]]; then
        ZV_X86_RUNS=no
        ZV_X86_WHY_NOT="this machine's kernel runs no 32-bit programs"
    else
        ZV_X86_RUNS=no
        ZV_X86_WHY_NOT="a tiny 32-bit program did not run here (exit code $rc${err:+: ${err##*: }})"
    fi
    zv_keep_machine
}

zv_keep_machine() {
    printf 'boot=%s\nx86=%s\nwhy_not=%s\n' "$(zv_boot_id)" "$ZV_X86_RUNS" "$ZV_X86_WHY_NOT" >"$ZV_MACHINE_FILE"
}

# Records for this boot that the x86 build does not run here although the
# kernel would run it, for the reason $1 (its Wine could not be installed).
zv_x86_not_run() {
    ZV_X86_RUNS=no
    ZV_X86_WHY_NOT=$1
    zv_keep_machine
}

# Sets ZV_X86_RUNS (yes or no) and ZV_X86_WHY_NOT from the kept answer, or
# probes when there is none for this boot. Returns 1 when the answer was
# not kept yet (a new probe).
zv_read_machine() {
    local key value boot='' runs='' why=''
    if [[ -f $ZV_MACHINE_FILE ]]; then
        while IFS='=' read -r key value; do
            case $key in
                boot) boot=$value ;;
                x86) runs=$value ;;
                why_not) why=$value ;;
            esac
        done <"$ZV_MACHINE_FILE"
    fi
    if [[ -n $runs && $boot == "$(zv_boot_id)" ]]; then
        ZV_X86_RUNS=$runs
        ZV_X86_WHY_NOT=$why
        return 0
    fi
    zv_probe_x86
    return 1
}

zv_runs_x86() {
    [[ -n $ZV_X86_RUNS ]] || zv_read_machine || true
    [[ $ZV_X86_RUNS == yes ]]
}

# Chooses the architecture the demo and the benchmark run, the product's
# where it runs, into ZV_RUN_ARCH and says which in one line, as $1.
# shellcheck disable=SC2034 # ZV_RUN_ARCH is read by the scripts.
zv_choose_run_arch() {
    if zv_runs_x86; then
        ZV_RUN_ARCH=x86
        printf '%s: running the x86 build (build/)\n' "$1" >&2
    else
        ZV_RUN_ARCH=x64
        printf '%s: running the x64 build (build/x64/): %s\n' "$1" "$ZV_X86_WHY_NOT" >&2
    fi
}
