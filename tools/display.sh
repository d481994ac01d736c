# Sourced: gives the caller an X display. Uses $DISPLAY when one works; otherwise starts a
# private Xvfb for the caller's lifetime (velmora_display_stop ends it).
velmora_xvfb_pid=""
velmora_display_start() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local fifo
    fifo=$(mktemp -u) && mkfifo "$fifo"
    # -displayfd picks a free display number and reports it when the server is ready.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
    velmora_xvfb_pid=$!
    local number
    read -r -t 20 number <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$number"
}
velmora_display_stop() {
    [ -n "$velmora_xvfb_pid" ] && kill "$velmora_xvfb_pid" 2>/dev/null
    velmora_xvfb_pid=""
    return 0
}
