#!/usr/bin/env bash
# Takes screenshots of the three clock views, at 96 and at 144 DPI, on a private Xvfb
# (1280 x 800) with the built Velmora.exe: the full window before a query, after "Get"
# against the local SNTP test server (1.5 s ahead) and after "Adjust" taken by the real
# service with its recording clock (no clock is set); the compact window with its menu closed and open; the
# world-clock view with three clocks, with one, and with six (two columns on the 800-pixel
# screen, one label too long for its panel); the tray icon; and the full face with fixed
# texts ("11:51:57", "Difference: 1501 ms") drawn by display_probe. Writes
# build/screenshots/<view>-<dpi>.png; with --docs, also palette-reduced copies for the
# README in docs/images/screenshots/.
#
# Uses the build tree's Wine prefix: its settings key and LogPixels are put back afterwards.
# Run it by hand (not during `make test`, which uses the same prefix).
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
source "$here/wine-env.sh"
bin=$VELMORA_BUILD/bin
out=$root/build/screenshots
sntp_port=${VELMORA_SCREENSHOT_SNTP_PORT:-12377}
settings='HKCU\Software\Brantel\Velmora'
desktop='HKCU\Control Panel\Desktop'
machine_fonts='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'
# Only this run's shots: --docs copies every picture in the folder.
rm -rf "$out"
mkdir -p "$out"

unset DISPLAY  # always the private display: screenshots must not show anyone's desktop
source "$here/display.sh"
velmora_display_start
"$here/wine-session.sh" start

saved=$(mktemp -d)
wine reg export "$settings" "$(winepath -w "$saved/settings.reg")" /y >/dev/null 2>&1 || true
old_dpi=$(wine reg query "$desktop" /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ {print $3}' || true)
old_machine_dpi=$(wine reg query "$machine_fonts" /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ {print $3}' || true)
app=""
sntp=""
service_key='HKLM\System\CurrentControlSet\Services\VLM Service'
# The real service, recording the change "Adjust" asks for instead of making it (the program
# sends nothing to anyone else). Removed again at the end: it would start with every boot of
# the prefix.
start_service() {
    wine "$bin/Service.exe" install >/dev/null 2>&1 || true
    wine reg add "$service_key\Parameters" /v "Clock Record File" /d 'C:\windows\temp\velmora-screenshots-clock.txt' \
        /f >/dev/null 2>&1
    wine net start "VLM Service" >/dev/null 2>&1 || true
    for _ in $(seq 50); do
        wine sc query "VLM Service" 2>/dev/null | grep -q RUNNING && return 0
        sleep 0.2
    done
    echo "the service did not start" >&2
}
remove_service() {
    wine net stop "VLM Service" >/dev/null 2>&1 || true
    wine "$bin/Service.exe" uninstall >/dev/null 2>&1 || true
}
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    remove_service
    [ -n "$sntp" ] && kill "$sntp" 2>/dev/null
    wine reg delete "$settings" /f >/dev/null 2>&1 || true
    [ -f "$saved/settings.reg" ] && wine reg import "$(winepath -w "$saved/settings.reg")" >/dev/null 2>&1
    if [ -n "$old_dpi" ]; then
        wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $((old_dpi)) /f >/dev/null 2>&1
    else
        wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
    fi
    if [ -n "$old_machine_dpi" ]; then
        wine reg add "$machine_fonts" /v LogPixels /t REG_DWORD /d $((old_machine_dpi)) /f >/dev/null 2>&1
    fi
    rm -rf "$saved"
    "$here/wine-session.sh" stop
    velmora_display_stop
}
trap cleanup EXIT

probe() { wine "$bin/velmora_probe.exe" "$@"; }
set_dword() { wine reg add "$settings$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1; }
set_text() { wine reg add "$settings$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1; }

# A known state: no tour, no balloon, the local server, three world clocks (or six).
clocks=("Tokyo|Tokyo Standard Time" "London|GMT Standard Time" "New York|Eastern Standard Time")
six_clocks=("${clocks[@]}" "Sydney|AUS Eastern Standard Time" "W. Central Africa Standard Time, Lagos|W. Central Africa Standard Time"
            "Mumbai|India Standard Time")
configure() {
    local skin=$1 clocks_enabled=$2
    shift 2
    local list=("$@")
    [ ${#list[@]} -gt 0 ] || list=("${clocks[@]}")
    wine reg delete "$settings" /f >/dev/null 2>&1 || true
    set_dword "" "Display Tray Message" 0
    set_dword "" "ToolTip" 0
    set_dword "" "Minimized" 0
    set_dword "" "Skin" "$skin"
    # Clear of Wine's notification area, a window at the top left without a tray manager.
    set_dword "" "Left" 240
    set_dword "" "Top" 60
    set_dword "" "Utilize NIST server" 0
    set_text "" "Custom Server Address" "127.0.0.1"
    set_dword "" "Custom Server Port" "$sntp_port"
    set_dword "" "Sync at Start" 0
    set_dword "" "Sync Automatocally" 0
    local n=1
    for clock in "${list[@]}"; do
        set_dword "\\$n" enabled $((n <= clocks_enabled))
        set_text "\\$n" zone "${clock#*|}"
        set_text "\\$n" name "${clock%%|*}"
        n=$((n + 1))
    done
}

start_app() {
    wine "$bin/Velmora.exe" >/dev/null 2>&1 &
    app=$!
    for _ in $(seq 100); do probe clock-rect >/dev/null 2>&1 && return 0; sleep 0.2; done
    echo "Velmora did not show a clock window" >&2
    return 1
}

stop_app() {
    probe command 32772 >/dev/null 2>&1 || true  # tray "Exit"
    wait "$app" 2>/dev/null || true
    app=""
}

# Runs a probe command that replaces the clock window, and waits for the new one. (Without
# a window manager, Wine takes two seconds to let the old window go.)
switch_view() {
    local before
    before=$(probe clock-rect | tr -d '\r')
    probe "$@"
    for _ in $(seq 50); do
        [ "$(probe clock-rect 2>/dev/null | tr -d '\r')" != "$before" ] && return 0
        sleep 0.2
    done
    echo "the view did not change" >&2
    return 1
}

# A rectangle of the screen ("left top width height") and a margin round it.
shot_rect() {
    local name=$1 left=$2 top=$3 width=$4 height=$5 margin=${6:-12}
    import -window root -crop "$((width + 2 * margin))x$((height + 2 * margin))+$((left - margin))+$((top - margin))" \
        +repage "$out/$name.png"
    echo "screenshot: build/screenshots/$name.png"
}

# The clock window and a margin round it, once the window has settled.
shot() {
    sleep 1
    local left top width height
    read -r left top width height < <(probe clock-rect | tr -d '\r')
    shot_rect "$1" "$left" "$top" "$width" "$height"
}

# Wine's notification area (without a tray manager, a window at the top left).
shot_tray() {
    local geometry
    geometry=$(xwininfo -name "Wine System Tray" 2>/dev/null | awk '/Absolute upper-left X/ {x=$NF}
        /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
    [ -n "$geometry" ] || { echo "no notification area to take" >&2; return 0; }
    # shellcheck disable=SC2086
    shot_rect "$1" $geometry 2
}

# The full face with fixed texts, from the test probe (it sets no settings and ends itself).
shot_fixed_texts() {
    local probe_pid line
    coproc FIXED_TEXTS { exec wine "$VELMORA_BUILD/tests/display_probe.exe" fixed-texts 2>/dev/null; }
    probe_pid=$FIXED_TEXTS_PID
    read -r -t 60 line <&"${FIXED_TEXTS[0]}" || { echo "the fixed-texts face did not show" >&2; return 1; }
    sleep 1
    # shellcheck disable=SC2086
    shot_rect "$1" $(echo "$line" | tr -d '\r' | cut -d' ' -f2-)
    kill "$probe_pid" 2>/dev/null || true
    wait "$probe_pid" 2>/dev/null || true
}

/usr/bin/python3 "$here/sntp_test_server.py" serve --port "$sntp_port" --offset-ms 1500 >/dev/null 2>&1 &
sntp=$!

for dpi in 96 144; do
    # The whole prefix at this DPI, Explorer's notification area included: Wine's own
    # processes read it when the prefix starts.
    "$here/wine-session.sh" stop
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    [ -z "$old_machine_dpi" ] || wine reg add "$machine_fonts" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    "$here/wine-session.sh" start

    configure 0 3
    start_app
    shot "full-before-$dpi"
    shot_tray "tray-$dpi"
    probe clock-click 1056          # "Get"
    shot "full-get-$dpi"
    start_service
    probe clock-click 1043          # "Adjust"
    shot "full-adjust-$dpi"
    switch_view clock-click 1046    # "-": the compact view
    shot "compact-closed-$dpi"
    probe clock-click 1065          # "Opt."
    shot "compact-open-$dpi"
    probe clock-click 1065
    switch_view clock-dblclick      # the world clocks
    shot "world3-$dpi"
    stop_app

    configure 2 1
    start_app
    shot "world1-$dpi"
    stop_app

    configure 2 6 "${six_clocks[@]}"
    start_app
    shot "world6-$dpi"
    stop_app

    shot_fixed_texts "fixed-texts-$dpi"
done

if [ "${1:-}" = "--docs" ]; then
    mkdir -p "$root/docs/images/screenshots"
    /usr/bin/python3 - "$out" "$root/docs/images/screenshots" <<'PY'
import pathlib, sys
from PIL import Image
source, target = map(pathlib.Path, sys.argv[1:])
for shot in sorted(source.glob("*.png")):
    image = Image.open(shot).convert("RGB")
    # 256 colours without dithering: half the size, no visible change on these faces.
    image.quantize(256, Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(target / shot.name, optimize=True)
    print(f"docs/images/screenshots/{shot.name}")
PY
fi
