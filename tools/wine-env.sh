# Sourced by every script that runs Windows programs: the build tree's own Wine prefix,
# never the user's ~/.wine.
#   VELMORA_ARCH   x64 (the default; build/windows-x64, a win64 prefix, the wine64 loader)
#                  or x86 (build/windows, a win32 prefix, the wine32 loader)
#   VELMORA_BUILD  the build tree; when it is given alone, its architecture is read from it
velmora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${VELMORA_ARCH:-}" ] && [ -n "${VELMORA_BUILD:-}" ] && [ -f "$VELMORA_BUILD/velmora-arch" ]; then
    VELMORA_ARCH=$(cat "$VELMORA_BUILD/velmora-arch")
fi
export VELMORA_ARCH=${VELMORA_ARCH:-x64}
case "$VELMORA_ARCH" in
x86)
    VELMORA_BUILD=${VELMORA_BUILD:-$velmora_root/build/windows}
    export WINEARCH=win32
    velmora_loader=/usr/lib/wine/wine
    # A caller of the x64 tree may have left its 64-bit loader and shims behind.
    unset WINELOADER
    PATH=$(tr ':' '\n' <<<"$PATH" | grep -vxF "$velmora_root/tools/wine64-bin" | paste -sd:)
    export PATH
    ;;
x64)
    VELMORA_BUILD=${VELMORA_BUILD:-$velmora_root/build/windows-x64}
    export WINEARCH=win64
    velmora_loader=/usr/lib/wine/wine64
    # wine, winepath and wineboot through the 64-bit loader; Wine starts its own processes
    # through WINELOADER.
    case ":$PATH:" in *":$velmora_root/tools/wine64-bin:"*) ;; *) export PATH="$velmora_root/tools/wine64-bin:$PATH" ;; esac
    export WINELOADER=$velmora_loader
    ;;
*)
    echo "VELMORA_ARCH must be x86 or x64, not '$VELMORA_ARCH'" >&2
    return 1 2>/dev/null || exit 1
    ;;
esac
export VELMORA_BUILD
# Tests use wineprefix; `make run` installs the product into a prefix of its own.
export WINEPREFIX=${VELMORA_WINEPREFIX:-$VELMORA_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# winedbg disabled: a crashing test fails at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# Wine links Documents/Desktop into $HOME: keep that inside the build tree too.
export HOME=$VELMORA_BUILD/wine-home

# Whether this machine executes 32-bit programs. Some kernels have their 32-bit emulation
# turned off: the i386 loader then fails with "Exec format error" (exit 126), whatever is
# installed. Prints the reason when it cannot. VELMORA_SKIP_X86=1 skips them on purpose.
velmora_x86_runs() {
    if [ "${VELMORA_SKIP_X86:-0}" = 1 ]; then
        echo "VELMORA_SKIP_X86=1 is set"; return 1
    fi
    if [ ! -e /usr/lib/wine/wine ]; then
        echo "wine32 is not installed (/usr/lib/wine/wine is missing)"; return 1
    fi
    local out status
    out=$(/usr/lib/wine/wine --version 2>&1 </dev/null)
    status=$?
    if [ $status -ne 0 ]; then
        if [ $status -eq 126 ]; then
            echo "this machine cannot execute 32-bit programs (the i386 loader exits 126: Exec format error; its kernel has 32-bit emulation turned off)"
        else
            echo "the 32-bit Wine loader fails (exit $status: ${out:0:120})"
        fi
        return 1
    fi
    return 0
}

velmora_require_wine() {
    # Without the loader of this architecture a program "runs", crashes and may still exit 0.
    if [ "$VELMORA_ARCH" = x86 ]; then
        local why
        why=$(velmora_x86_runs) || { echo "cannot run the x86 build: $why" >&2; return 1; }
    elif [ ! -x "$velmora_loader" ]; then
        echo "$velmora_loader is missing: run tools/install-deps.sh" >&2
        return 1
    fi
}

# Creates the prefix once (about 10 s). Serialised, because parallel tests may all arrive here.
velmora_prefix_ready() {
    [ -f "$WINEPREFIX/.velmora-ready" ] && return 0
    velmora_require_wine || return 1
    mkdir -p "$VELMORA_BUILD" "$HOME" "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
            wineboot -i >/dev/null 2>&1 </dev/null
            wineserver -w
            # wineboot makes no prefix and says nothing when its loader cannot run.
            if [ ! -f "$WINEPREFIX/system.reg" ]; then
                echo "wineboot made no prefix in $WINEPREFIX" >&2
                exit 1
            fi
            touch "$WINEPREFIX/.velmora-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}
