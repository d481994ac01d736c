# Sourced by every script that runs Windows programs: the build tree's own Wine prefix,
# never the user's ~/.wine. VELMORA_BUILD may point elsewhere (CI uses the default).
velmora_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VELMORA_BUILD=${VELMORA_BUILD:-$velmora_root/build/windows}
# Tests use wineprefix; `make run` installs the product into a prefix of its own.
export WINEPREFIX=${VELMORA_WINEPREFIX:-$VELMORA_BUILD/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# winedbg disabled: a crashing test fails at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# Wine links Documents/Desktop into $HOME: keep that inside the build tree too.
export HOME=$VELMORA_BUILD/wine-home

velmora_require_wine32() {
    # Without wine32 a 32-bit program "runs", crashes and still exits 0.
    if [ ! -x /usr/lib/wine/wine ]; then
        echo "wine32 is missing: run tools/install-deps.sh" >&2
        return 1
    fi
}

# Creates the prefix once (about 10 s). Serialised, because parallel tests may all arrive here.
velmora_prefix_ready() {
    [ -f "$WINEPREFIX/.velmora-ready" ] && return 0
    velmora_require_wine32 || return 1
    mkdir -p "$VELMORA_BUILD" "$HOME"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.velmora-ready" ]; then
            wineboot -i >/dev/null 2>&1 </dev/null
            wineserver -w
            touch "$WINEPREFIX/.velmora-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}
