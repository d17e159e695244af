#!/usr/bin/env bash
# Checks a package as a user downloads it, without running its DLL: the zip
# holds exactly its five files in their order; its DLL is the one this build
# made, byte for byte, and passes cmake/check-dll.sh (architecture, exports,
# system imports only, no symbols); the DLL's version resource says the
# project's version, as numbers and as texts; LICENSE and CHANGELOG.md are
# the repository's; CZYTAJ.txt and README.txt are UTF-8 with a byte-order
# mark and CRLF line ends (Notepad shows them right on any Windows), name
# the version and tell where the settings are. The files stay unpacked in
# UNPACK_DIR, where the stand-in messenger loads the DLL (test
# package_loads). ctest runs it natively (label "nowine").
#
#   cmake/check-package.sh OBJDUMP WINDRES ZIP DLL x86|x64 VERSION SOURCE_DIR UNPACK_DIR
#
# Prints every problem found and exits 1 if there was one, a missing ZIP
# included (scripts/package makes it; scripts/test does before its ctest runs).
set -euo pipefail

if [[ $# -ne 8 ]]; then
    echo "usage: $0 OBJDUMP WINDRES ZIP DLL x86|x64 VERSION SOURCE_DIR UNPACK_DIR" >&2
    exit 2
fi
objdump=$1 windres=$2 zip=$3 built=$4 arch=$5 version=$6 source=$7 unpacked=$8
name=$(basename "$zip")

# Nothing of an earlier package stays for the stand-in messenger to load.
rm -rf "$unpacked"
if [[ ! -f $zip ]]; then
    echo "$name: not there; scripts/package (or scripts/test) makes it"
    echo "$name: check failed"
    exit 1
fi

problems=0
problem() {
    echo "$name: $*"
    problems=$((problems + 1))
}

files=(zavernok.dll CZYTAJ.txt README.txt CHANGELOG.md LICENSE)
listed=$(unzip -Z1 "$zip" 2>&1) || problem "unzip cannot list it: $listed"
if [[ $listed != "$(printf '%s\n' "${files[@]}")" ]]; then
    problem "holds [$(paste -sd ' ' <<<"$listed")], not [${files[*]}] in that order"
fi
mkdir -p "$unpacked"
if ! out=$(unzip -q "$zip" -d "$unpacked" 2>&1); then
    problem "does not unpack: $out"
fi

dll=$unpacked/zavernok.dll
if [[ -f $dll ]]; then
    cmp -s "$dll" "$built" || problem "its zavernok.dll is not $built: run scripts/package again"
    out=$("$(dirname "$0")/check-dll.sh" "$objdump" "$dll" "$arch" 2>&1) || problem "$out"

    # The resource as windres writes it back as a script.
    numbers="${version//./, }, 0"
    resource=$("$windres" -i "$dll" -O rc 2>&1) || problem "windres cannot read its resources: $resource"
    for field in FILEVERSION PRODUCTVERSION; do
        got=$(awk -v f="$field" '$1 == f { $1 = ""; sub(/^ /, ""); print; exit }' <<<"$resource")
        [[ $got == "$numbers" ]] || problem "its DLL's $field is '$got', not '$numbers'"
    done
    for field in FileVersion ProductVersion; do
        got=$(sed -n "s/^ *VALUE \"$field\", \"\\(.*\\)\"\$/\\1/p" <<<"$resource")
        [[ $got == "$version" ]] || problem "its DLL's \"$field\" is '$got', not '$version'"
    done
fi

for text in LICENSE CHANGELOG.md; do
    if [[ -f $unpacked/$text ]] && ! cmp -s "$unpacked/$text" "$source/$text"; then
        problem "its $text is not the repository's"
    fi
done

for text in CZYTAJ.txt README.txt; do
    file=$unpacked/$text
    [[ -f $file ]] || continue
    [[ $(head -c 3 "$file" | od -An -tx1 | tr -d ' ') == efbbbf ]] || problem "$text does not start with a UTF-8 byte-order mark"
    iconv -f UTF-8 -t UTF-8 "$file" >/dev/null 2>&1 || problem "$text is not UTF-8"
    if grep -q $'[^\r]$' "$file" || grep -qx '' "$file" || [[ $(tail -c 2 "$file" | od -An -tx1 | tr -d ' ') != 0d0a ]]; then
        problem "$text has lines that do not end in CRLF"
    fi
    for says in "Zavernok $version" "zavernok-$version-x86.zip" "zavernok.dll" "Zakładki"; do
        grep -qF "$says" "$file" || problem "$text does not say \"$says\""
    done
    ! grep -q '@VERSION@' "$file" || problem "$text still holds @VERSION@"
done

if [[ $problems -gt 0 ]]; then
    echo "$name: check failed"
    exit 1
fi
echo "$name: ${files[*]}; its DLL is the one built here, version $version; the texts are the repository's"
