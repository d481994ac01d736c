#!/usr/bin/env bash
# Installs the built product with its installer into a Wine prefix of its own
# (build/windows-x64/run-prefix, or build/windows/run-prefix with VELMORA_ARCH=x86; the
# tests' prefix stays untouched), starts it, and waits.
# Without a display it runs on a private Xvfb and saves screenshots to build/screenshots/.
#   VELMORA_DEMO=1  points Velmora at a local SNTP test server whose clock is 2.5 s ahead
#                   and synchronises at start, so a full synchronisation shows offline.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
source "$here/wine-env.sh" || exit 1
export WINEPREFIX=$VELMORA_BUILD/run-prefix
export VELMORA_WINEPREFIX=$WINEPREFIX  # for the scripts below
if [ "$VELMORA_ARCH" = x86 ] && ! why=$(velmora_x86_runs); then
    echo "cannot run the x86 build here: $why; make run runs the x64 build" >&2
    exit 1
fi
source "$here/display.sh"
bin=$VELMORA_BUILD/bin
shots=$root/build/screenshots

headless=0
{ [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; } || headless=1
velmora_display_start || exit 1
demo_server=""
cleanup() {
    [ -n "$demo_server" ] && kill "$demo_server" 2>/dev/null
    "$here/wine-session.sh" stop
    velmora_display_stop
}
trap cleanup EXIT
trap 'exit 130' INT TERM
"$here/wine-session.sh" start

echo "Installing Velmora into $WINEPREFIX"
wine "$bin/VelmoraSetup-$VELMORA_ARCH.exe" /S || { echo "the installer failed" >&2; exit 1; }

if [ "${VELMORA_DEMO:-0}" = 1 ]; then
    /usr/bin/python3 "$here/sntp_test_server.py" serve --port 12300 --offset-ms 2500 &
    demo_server=$!
    key='HKCU\Software\Brantel\Velmora'
    wine reg add "$key" /v "Utilize NIST server" /t REG_DWORD /d 0 /f >/dev/null
    wine reg add "$key" /v "Custom Server Address" /t REG_SZ /d 127.0.0.1 /f >/dev/null
    wine reg add "$key" /v "Custom Server Port" /t REG_DWORD /d 12300 /f >/dev/null
    wine reg add "$key" /v "Sync at Start" /t REG_DWORD /d 1 /f >/dev/null
fi

wine "C:\\Program Files\\Velmora\\Velmora.exe" &
app=$!
if [ $headless -eq 1 ]; then
    mkdir -p "$shots"
    sleep "${VELMORA_SCREENSHOT_AFTER:-8}"
    import -window root "$shots/run.png" && echo "screenshot: build/screenshots/run.png"
    echo "Running headless on $DISPLAY; Ctrl+C ends it."
fi
wait $app
