#!/usr/bin/env bash
# Runs Velmora.exe from build/windows/bin in the build tree's Wine prefix. Without a display
# it runs on a private Xvfb and saves a screenshot to build/screenshots/run.png.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
source "$here/display.sh"
headless=0
[ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || headless=1
velmora_display_start || exit 1
"$here/wine-session.sh" start
"$here/wine-run.sh" "$root/build/windows/bin/Velmora.exe" &
app=$!
if [ $headless -eq 1 ]; then
    mkdir -p "$root/build/screenshots"
    sleep "${VELMORA_SCREENSHOT_AFTER:-8}"
    import -window root "$root/build/screenshots/run.png" && echo "screenshot: build/screenshots/run.png"
    echo "Running headless on $DISPLAY; press Ctrl+C to stop."
fi
trap '"$here/wine-session.sh" stop; velmora_display_stop' EXIT
wait $app
