# shellcheck shell=bash
# Wine prefix, X display (Xvfb) and wineserver handling shared by
# scripts/wine-run, scripts/test and scripts/setup. Source it after setting
# ZV_ROOT to the repository root; the functions expect `set -euo pipefail`.
#
# Each architecture has its own prefix, loader and server (see zv_wine_env).
#
# Environment:
#   ZAVERNOK_WINEPREFIX      x86 Wine prefix (default: <repo>/build/wineprefix)
#   ZAVERNOK_WINEPREFIX_X64  x64 Wine prefix (default: <repo>/build/x64/wineprefix)
#   ZAVERNOK_DISPLAY         X display of a session that is already set up
#                            (exported by scripts/test; wine-run then just uses it)
#   ZAVERNOK_SESSION_PREFIX  the prefix whose wineserver that session keeps
#   ZAVERNOK_WINEDEBUG       WINEDEBUG value (default: -all)
#
# File descriptor 9 holds the session lock; every long-lived child started
# here gets it closed so that the lock ends with the session.

# shellcheck source-path=SCRIPTDIR source=arch.sh
. "$ZV_ROOT/scripts/lib/arch.sh"

ZV_NAME=${ZV_NAME:-zavernok}
ZV_XVFB_PID=
ZV_DISPLAY_BEFORE_XVFB=
ZV_OWN_WINESERVER=
ZV_SESSION_LOCKED=

zv_log() { printf '%s: %s\n' "$ZV_NAME" "$*" >&2; }

# Exports WINEPREFIX (absolute), WINEARCH, WINELOADER, WINESERVER, WINEDEBUG
# and WINEDLLOVERRIDES for architecture $1 (x86 or x64).
#
# The loaders are called directly: Debian's /usr/bin/wine starts the 32-bit
# one whenever wine32 is installed, and would make x64 programs fail there.
# The server is the one Debian's own wrapper would pick (the 64-bit one
# serves 32-bit programs too).
zv_wine_env() {
    local arch=$1 prefix
    case $arch in
        x86)
            prefix=${ZAVERNOK_WINEPREFIX:-$(zv_build_dir x86)/wineprefix}
            export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
            ;;
        x64)
            prefix=${ZAVERNOK_WINEPREFIX_X64:-$(zv_build_dir x64)/wineprefix}
            export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
            ;;
        *)
            zv_log "unknown architecture '$arch' (x86 or x64)"
            return 1
            ;;
    esac
    if [[ -x /usr/lib/wine/wineserver64 ]]; then
        export WINESERVER=/usr/lib/wine/wineserver64
    else
        export WINESERVER=/usr/lib/wine/wineserver32
    fi
    if [[ ! -x $WINELOADER || ! -x $WINESERVER ]]; then
        if [[ $arch == x86 ]] && ! zv_runs_x86; then
            zv_log "x86 programs do not run here: $ZV_X86_WHY_NOT"
        else
            zv_log "no $arch Wine on this machine ($WINELOADER, $WINESERVER): run scripts/setup"
        fi
        return 1
    fi
    case $prefix in
        /*) ;;
        *) prefix=$PWD/$prefix ;;
    esac
    ZV_ARCH=$arch
    export WINEPREFIX=${prefix%/}
    export WINEDEBUG=${ZAVERNOK_WINEDEBUG:--all}
    # No Mono/Gecko download prompts; no menu entries written to $HOME; a
    # crash ends the program at once instead of waiting in the debugger.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
}

# Prints the architecture (x86 or x64) of the Windows program $1, read from
# its PE header; fails for anything else.
zv_pe_arch() {
    local file=$1 offset
    [[ -f $file && -r $file ]] || return 1
    [[ $(head -c 2 "$file") == MZ ]] || return 1
    offset=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
    [[ $(od -An -tx4 -j"$offset" -N4 "$file" | tr -d ' ') == 00004550 ]] || return 1
    case $(od -An -tx2 -j$((offset + 4)) -N2 "$file" | tr -d ' ') in
        014c) echo x86 ;;
        8664) echo x64 ;;
        *) return 1 ;;
    esac
}

# Runs Wine in a Polish locale, so that Windows' ANSI code page is 1250 as on
# the messenger's users' machines. Set through env: the build machine need not
# have that locale, and the shell must not try to switch to it.
ZV_WINE_LOCALE=pl_PL.UTF-8
zv_wine() { env LC_ALL="$ZV_WINE_LOCALE" "$WINELOADER" "$@"; }
zv_wineserver() { "$WINESERVER" "$@"; }

# True if the display ($1, default $DISPLAY) accepts connections. Without
# xdpyinfo/xset the display is trusted.
zv_display_reachable() {
    local d=${1:-${DISPLAY:-}}
    [[ -n $d ]] || return 1
    if command -v xdpyinfo >/dev/null 2>&1; then
        timeout 5 xdpyinfo -display "$d" >/dev/null 2>&1
    elif command -v xset >/dev/null 2>&1; then
        timeout 5 xset -display "$d" q >/dev/null 2>&1
    else
        return 0
    fi
}

# Starts Xvfb on the first free display number from 100 on and exports
# DISPLAY once it accepts connections.
zv_start_xvfb() {
    command -v Xvfb >/dev/null 2>&1 || { zv_log "Xvfb not found (run scripts/setup)"; return 1; }
    local n pid i
    for ((n = 100; n < 200; n++)); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
        pid=$!
        for ((i = 0; i < 100; i++)); do
            # Died: another server took the number in the meantime.
            kill -0 "$pid" 2>/dev/null || break
            if [[ -S /tmp/.X11-unix/X$n ]] && zv_display_reachable ":$n"; then
                ZV_XVFB_PID=$pid
                ZV_DISPLAY_BEFORE_XVFB=${DISPLAY:-}
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    zv_log "could not start Xvfb"
    return 1
}

zv_stop_xvfb() {
    if [[ -n $ZV_XVFB_PID ]]; then
        kill "$ZV_XVFB_PID" 2>/dev/null || true
        wait "$ZV_XVFB_PID" 2>/dev/null || true
        ZV_XVFB_PID=
        if [[ -n $ZV_DISPLAY_BEFORE_XVFB ]]; then
            export DISPLAY=$ZV_DISPLAY_BEFORE_XVFB
        else
            unset DISPLAY
        fi
    fi
}

# Wine's own TrueType fonts (Tahoma for dialogs, Marlett for the caption
# buttons). This Wine build does not look for them in its data folder, so the
# prefix gets copies; without them captions show "0 1 r" for their buttons.
ZV_WINE_FONTS=/usr/share/wine/fonts

# True when the prefix exists for the architecture in use, leaves its
# windows to no window manager and has Wine's fonts.
zv_prefix_ready() {
    [[ $(zv_prefix_arch) == "$WINEARCH" ]] && grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null &&
        zv_fonts_ready
}

# The prefix's kind (win32 or win64) as its registry says; empty if none.
zv_prefix_arch() {
    [[ -f $WINEPREFIX/system.reg ]] || return 0
    sed -n 's/^#arch=//p;/^#arch=/q' "$WINEPREFIX/system.reg"
}

zv_fonts_ready() {
    [[ ! -f $ZV_WINE_FONTS/tahoma.ttf || -f $WINEPREFIX/drive_c/windows/Fonts/tahoma.ttf ]]
}

zv_copy_fonts() {
    zv_fonts_ready && return 0
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp "$ZV_WINE_FONTS"/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

# Creates the Wine prefix if it is missing (wineboot -i, about 10 s; the
# 64-bit one reports that syswow64's rundll32.exe is missing, which does not
# matter here). No window manager runs on the test display, and Wine waits up
# to two seconds for one each time a managed top-level window is hidden or
# destroyed: the prefix's windows are left unmanaged.
zv_ensure_prefix() {
    zv_prefix_ready && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 8
        local have
        have=$(zv_prefix_arch)
        # A prefix of the other kind (made before the two architectures had
        # one each) is refused by Wine: one in the build folder is made anew.
        if [[ -n $have && $have != "$WINEARCH" ]]; then
            if [[ $WINEPREFIX != "$ZV_ROOT/build/"* ]]; then
                zv_log "the Wine prefix $WINEPREFIX is $have, not $WINEARCH: choose another one"
                exit 1
            fi
            zv_log "the Wine prefix $WINEPREFIX is $have, not $WINEARCH: making it anew"
            zv_wineserver -k </dev/null >/dev/null 2>&1 8>&- 9>&- || true
            rm -rf "$WINEPREFIX"
        fi
        if [[ ! -f $WINEPREFIX/system.reg ]]; then
            zv_log "creating the $ZV_ARCH Wine prefix $WINEPREFIX"
            zv_wine wineboot -i </dev/null >/dev/null 2>&1 8>&- 9>&- || true
            # Wait until the server has ended and written the registry.
            zv_wineserver -w </dev/null >/dev/null 2>&1 8>&- 9>&- || true
        fi
        if [[ -f $WINEPREFIX/system.reg ]] && ! zv_prefix_ready; then
            zv_wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 8>&- 9>&- || true
            timeout 60 "$WINESERVER" -w </dev/null >/dev/null 2>&1 8>&- 9>&- || true
        fi
        if [[ -f $WINEPREFIX/system.reg ]]; then
            zv_copy_fonts
        fi
    ) 8>"$WINEPREFIX.init-lock"
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        zv_log "creating the Wine prefix $WINEPREFIX failed"
        return 1
    fi
}

# Begins a session owned by the caller, for the architecture of the last
# zv_wine_env: takes the prefix's session lock (so that two owners never
# share one wineserver), makes sure a display is there (own Xvfb if $DISPLAY
# is unset or unreachable), creates the prefix and starts a persistent
# wineserver. Exports ZAVERNOK_DISPLAY and ZAVERNOK_SESSION_PREFIX for
# children. Pair with zv_session_end (from an EXIT trap); one session at a
# time.
zv_session_begin() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.session-lock"
    flock 9
    ZV_SESSION_LOCKED=1
    if ! zv_display_reachable; then
        zv_start_xvfb
    fi
    export ZAVERNOK_DISPLAY=$DISPLAY
    zv_ensure_prefix
    # wineserver forks into the background itself.
    zv_wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
    ZV_OWN_WINESERVER=1
    export ZAVERNOK_SESSION_PREFIX=$WINEPREFIX
    # Start Wine's own helper processes (services, desktop) now, with their
    # output on /dev/null: otherwise the first test program starts them and
    # they keep its output pipe open for as long as the server lives.
    zv_wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
}

zv_session_end() {
    if [[ -n $ZV_OWN_WINESERVER ]]; then
        # Kills every process of this prefix and waits for the server.
        zv_wineserver -k </dev/null >/dev/null 2>&1 9>&- || true
        ZV_OWN_WINESERVER=
    fi
    unset ZAVERNOK_DISPLAY ZAVERNOK_SESSION_PREFIX
    zv_stop_xvfb
    if [[ -n $ZV_SESSION_LOCKED ]]; then
        exec 9>&-
        ZV_SESSION_LOCKED=
    fi
}
