# shellcheck shell=bash
# The packages a user downloads, made from builds that are already there:
# dist/zavernok-<version>-<arch>.zip for each architecture asked for, and
# dist/SHA256SUMS with their checksums. Source after scripts/lib/build.sh.
#
# Two runs from the same commit write the same bytes: the zip's files go in
# in a fixed order, all with the commit's time (in UTC) and mode 644, and
# without the extra fields that would carry more times and owners (zip -X).
# The DLL itself links without a time stamp and carries the commit's date
# as its build stamp (see CMakeLists.txt).

ZV_DIST=$ZV_ROOT/dist
# In the order they go into a zip: the plug-in, then its texts.
ZV_PACKAGE_FILES=(zavernok.dll CZYTAJ.txt README.txt CHANGELOG.md LICENSE)

zv_package_log() { printf '%s: %s\n' "${ZV_NAME:-package}" "$*" >&2; }

# The version the build of architecture $1 was configured with (the CMake
# project's, written into its generated zavernok_version.h).
zv_project_version() {
    local header
    header=$(zv_build_dir "$1")/generated/zavernok_version.h
    sed -n 's/^#define ZAVERNOK_VERSION_TEXT "\(.*\)"$/\1/p' "$header" 2>/dev/null
}

# The time the package's files carry: SOURCE_DATE_EPOCH when it is set,
# otherwise the date of the commit the sources are at, as for the build stamp.
zv_source_epoch() {
    if [[ -n ${SOURCE_DATE_EPOCH:-} ]]; then
        printf '%s\n' "$SOURCE_DATE_EPOCH"
    else
        git -C "$ZV_ROOT" log -1 --format=%ct 2>/dev/null
    fi
}

# A text for Notepad: UTF-8 with a byte-order mark (so that it shows the
# Polish letters whatever the system's code page) and CRLF line ends, with
# @VERSION@ replaced. Writes to standard output.
zv_windows_text() {
    local file=$1 version=$2
    printf '\xEF\xBB\xBF'
    sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$file"
}

# zv_package_zip ARCH VERSION EPOCH: writes dist/zavernok-VERSION-ARCH.zip
# from the DLL of that build.
zv_package_zip() {
    local arch=$1 version=$2 epoch=$3 build stage zip
    build=$(zv_build_dir "$arch")
    if [[ ! -f $build/zavernok.dll ]]; then
        zv_package_log "no $build/zavernok.dll: build $arch first"
        return 1
    fi
    stage=$build/package
    rm -rf "$stage" "$stage.zip"
    mkdir -p "$stage"
    cp "$build/zavernok.dll" "$ZV_ROOT/CHANGELOG.md" "$ZV_ROOT/LICENSE" "$stage/"
    zv_windows_text "$ZV_ROOT/package/CZYTAJ.txt" "$version" >"$stage/CZYTAJ.txt"
    zv_windows_text "$ZV_ROOT/package/README.txt" "$version" >"$stage/README.txt"
    chmod 644 "$stage"/*
    touch -d "@$epoch" "$stage"/*
    (cd "$stage" && TZ=UTC zip -q -X -9 "$stage.zip" "${ZV_PACKAGE_FILES[@]}")
    zip=$ZV_DIST/zavernok-$version-$arch.zip
    mkdir -p "$ZV_DIST"
    mv -f "$stage.zip" "$zip"
    rm -rf "$stage"
}

# zv_package ARCH...: one zip for each architecture's build, then
# SHA256SUMS over them.
zv_package() {
    local arch version='' epoch v zips=()
    for arch in "$@"; do
        v=$(zv_project_version "$arch")
        if [[ -z $v ]]; then
            zv_package_log "the $arch build has no version: configure it first"
            return 1
        fi
        if [[ -n $version && $v != "$version" ]]; then
            zv_package_log "the builds have different versions ($version, $v $arch): build both again"
            return 1
        fi
        version=$v
    done
    if ! epoch=$(zv_source_epoch) || [[ ! $epoch =~ ^[0-9]+$ ]]; then
        zv_package_log "no commit date to give the files: not a git checkout? Set SOURCE_DATE_EPOCH"
        return 1
    fi
    for arch in "$@"; do
        zv_package_zip "$arch" "$version" "$epoch"
        zips+=("zavernok-$version-$arch.zip")
    done
    (cd "$ZV_DIST" && sha256sum "${zips[@]}" >SHA256SUMS)
}
