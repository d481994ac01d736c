#!/usr/bin/env bash
# Screenshots of the settings dialog's three pages at 96 and 144 DPI, for docs/images/.
#   tools/settings-screenshots.sh [OUTPUT-DIR]
# Runs build/windows/bin/Velmora.exe in the build tree's Wine prefix on a private Xvfb. Wine
# reads the DPI (LogPixels) when a prefix starts, so the prefix is restarted for each DPI and
# its LogPixels values are put back as they were at the end. The prefix's settings key gets
# three world clocks for the pictures and is put back afterwards too. Without a window manager
# the dialogs have no title bar.
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=${1:-$root/docs/images}
source "$here/wine-env.sh"
bin=$VELMORA_BUILD/bin
python=/usr/bin/python3  # Debian's, with Pillow
mkdir -p "$out"

settings_key='HKCU\Software\Brantel\Velmora'
user_key='HKCU\Control Panel\Desktop'
machine_key='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'

# The LogPixels of a key in decimal, or nothing when it has none.
read_dpi() {
    local hex
    hex=$(wine reg query "$1" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')
    if [ -n "$hex" ]; then printf '%d\n' "$hex"; fi
}
set_dpi() {  # key, value or "" to delete
    if [ -n "$2" ]; then
        wine reg add "$1" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
    else
        wine reg delete "$1" /v LogPixels /f >/dev/null 2>&1 || true
    fi
}

velmora_prefix_ready
"$here/wine-session.sh" stop
old_user=$(read_dpi "$user_key")
old_machine=$(read_dpi "$machine_key")
[ -n "$old_machine" ] || { echo "cannot read $machine_key LogPixels" >&2; exit 1; }
saved_settings=$(mktemp --suffix=.reg)
had_settings=0
wine reg export "$settings_key" "$(winepath -w "$saved_settings")" /y >/dev/null 2>&1 && had_settings=1
source "$here/display.sh"
restore() {
    "$here/wine-session.sh" stop
    set_dpi "$user_key" "$old_user"
    set_dpi "$machine_key" "$old_machine"
    wine reg delete "$settings_key" /f >/dev/null 2>&1 || true
    [ $had_settings -eq 0 ] || wine reg import "$(winepath -w "$saved_settings")" >/dev/null 2>&1
    rm -f "$saved_settings"
    wineserver -w
    velmora_display_stop
}
trap restore EXIT

# Saved settings (not a first run) with three world clocks, the last one hidden.
wine reg add "$settings_key" /v "Display Tray Message" /t REG_DWORD /d 0 /f >/dev/null 2>&1
# No guided tour: its first balloon would stand over the dialog.
wine reg add "$settings_key" /v "ToolTip" /t REG_DWORD /d 0 /f >/dev/null 2>&1
clock=0
for entry in "GMT Standard Time|London|1" "Eastern Standard Time|New York|1" "Tokyo Standard Time|Tokyo|0"; do
    IFS='|' read -r zone name enabled <<<"$entry"
    clock=$((clock + 1))
    wine reg delete "$settings_key\\$clock" /f >/dev/null 2>&1 || true
    wine reg add "$settings_key\\$clock" /v zone /d "$zone" /f >/dev/null 2>&1
    wine reg add "$settings_key\\$clock" /v name /d "$name" /f >/dev/null 2>&1
    wine reg add "$settings_key\\$clock" /v enabled /t REG_DWORD /d "$enabled" /f >/dev/null 2>&1
done
velmora_display_start

# Opens the dialog with the tray's "Settings" and prints its X window's "x y width height". A
# command that reaches a program still starting up is sent again: opening twice is harmless.
open_settings() {
    local deadline=$((SECONDS + 40)) info tries
    while [ $SECONDS -lt $deadline ]; do
        wine "$bin/velmora_probe.exe" command 32774 >/dev/null 2>&1 || true
        for tries in $(seq 15); do
            if info=$(xwininfo -name "Velmora Settings" 2>/dev/null); then
                echo "$info" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
                                    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
                return 0
            fi
            sleep 0.2
        done
    done
    echo "the settings dialog did not appear" >&2
    return 1
}

pages=(servers options time_zone)
for dpi in ${VELMORA_SCREENSHOT_DPIS:-96 144}; do
    "$here/wine-session.sh" stop
    set_dpi "$user_key" "$dpi"
    set_dpi "$machine_key" "$dpi"
    wineserver -w
    "$here/wine-session.sh" start
    wine "$bin/Velmora.exe" >/dev/null 2>&1 &
    app=$!
    geometry=$(open_settings)
    read -r x y w h <<<"$geometry"
    for i in 0 1 2; do
        wine "$bin/velmora_probe.exe" settings-tab $i
        sleep 1  # let the page paint; nothing to wait on from outside
        shot=$(mktemp --suffix=.png)
        import -window root "$shot"
        "$python" -c "import sys; from PIL import Image
Image.open(sys.argv[1]).convert('RGB').crop(tuple(map(int, sys.argv[3:7]))).save(sys.argv[2], optimize=True)" \
            "$shot" "$out/settings_${pages[$i]}_${dpi}dpi.png" "$x" "$y" "$((x + w))" "$((y + h))"
        rm -f "$shot"
        echo "$out/settings_${pages[$i]}_${dpi}dpi.png"
    done
    wine "$bin/velmora_probe.exe" command 32772  # "Exit"
    wait $app || true
done
