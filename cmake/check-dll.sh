#!/usr/bin/env bash
# Checks what the plug-in's file says, without running it: the machine and
# PE kind the messenger loads, the exact export names it looks up, imports
# from Windows' own DLLs only (a MinGW run-time DLL would be missing on the
# user's machine), and no symbols. ctest runs it natively (label "nowine"),
# so it holds on machines where the DLL itself cannot run.
#
#   cmake/check-dll.sh OBJDUMP DLL x86|x64
#
# Prints every problem found and exits 1 if there was one.
set -euo pipefail

if [[ $# -ne 3 ]]; then
    echo "usage: $0 OBJDUMP DLL x86|x64" >&2
    exit 2
fi
objdump=$1 dll=$2 arch=$3
name=$(basename "$dll")

case $arch in
    x86)
        format=pei-i386 magic=010b kind="PE32 i386"
        exports=('?get@LibInstance@Corvina@@SAAAV12@XZ' '_IMessageProc@4' '_ZN7Corvina11LibInstance3getEv')
        ;;
    x64)
        format=pei-x86-64 magic=020b kind="PE32+ x86-64"
        exports=('?get@LibInstance@Corvina@@SAAEAV12@XZ' 'IMessageProc' '_ZN7Corvina11LibInstance3getEv')
        ;;
    *)
        echo "unknown architecture '$arch' (x86 or x64)" >&2
        exit 2
        ;;
esac

# Windows' own DLLs. One that is not here fails the check, a system one
# too: add it here when the plug-in starts to use it.
system_dlls=(kernel32 user32 gdi32 comctl32 msvcrt advapi32 shell32 ole32 oleaut32 comdlg32
    shlwapi uxtheme gdiplus version winmm imm32 msimg32 ntdll ws2_32)
is_system_dll() {
    local dll=${1,,} s
    dll=${dll%.dll}
    [[ $dll == api-ms-win-* ]] && return 0
    for s in "${system_dlls[@]}"; do
        [[ $dll == "$s" ]] && return 0
    done
    return 1
}

problems=0
problem() {
    echo "$name: $*"
    problems=$((problems + 1))
}

if ! dump=$("$objdump" -p -h "$dll" 2>&1); then
    echo "$dump"
    problem "$objdump cannot read it"
    echo "$name: check failed"
    exit 1
fi

# -- kind: "file format pei-i386" and the optional header's magic --
got_format=$(awk '/file format/ { print $NF; exit }' <<<"$dump")
got_magic=$(awk '$1 == "Magic" { print $2; exit }' <<<"$dump")
if [[ $got_format != "$format" || $got_magic != "$magic" ]]; then
    problem "is $got_format (magic $got_magic), not $kind ($format, magic $magic)"
fi
if ! grep -qx $'\tDLL' <<<"$dump"; then
    problem "is not marked as a DLL"
fi

# -- exports: the names after "[Ordinal/Name Pointer] Table", to the blank line --
got_exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
                   on && /^$/ { exit }
                   on { sub(/^[ \t]*\[ *[0-9]+\] /, ""); print }' <<<"$dump" | LC_ALL=C sort)
want_exports=$(printf '%s\n' "${exports[@]}" | LC_ALL=C sort)
if [[ $got_exports != "$want_exports" ]]; then
    problem "exports [$(paste -sd ' ' <<<"$got_exports")], not exactly [$(paste -sd ' ' <<<"$want_exports")]"
fi

# -- imports --
imports=$(awk '/^[ \t]*DLL Name:/ { print $3 }' <<<"$dump")
if [[ -z $imports ]]; then
    problem "imports nothing: its import table was not found"
fi
while read -r dep; do
    [[ -n $dep ]] || continue
    if ! is_system_dll "$dep"; then
        problem "imports $dep, which is not one of Windows' own DLLs"
    fi
done <<<"$imports"

# -- no symbols: strip sets "symbols stripped" and drops the .debug sections --
if ! grep -qx $'\tsymbols stripped' <<<"$dump"; then
    problem "is not stripped: it carries its symbol table"
fi
debug_sections=$(awk '$2 ~ /^\.debug/ { print $2 }' <<<"$dump" | paste -sd ' ')
if [[ -n $debug_sections ]]; then
    problem "carries debugging symbols ($debug_sections)"
fi

if [[ $problems -gt 0 ]]; then
    echo "$name: check failed"
    exit 1
fi
echo "$name: $kind DLL; exports $(paste -sd ' ' <<<"$want_exports"); imports $(paste -sd ' ' <<<"$imports"); no symbols"
