# Sourced by the scripts that run the real program in a virtual X server.

# Starts a private Xvfb on a free display, exports DISPLAY and sets XVFB_PID; the caller
# calls stop_xvfb when done. Arguments go to Xvfb: `-fakescreenfps 40` sets the clock of its
# screen's frames, which X's Present extension follows (the screen still reports 60 Hz).
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp "$@" 3>"$number_file" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 200); do
        [ -s "$number_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(cat "$number_file")"
    rm -f "$number_file"
}

# Prints the id of the visible window titled exactly TITLE, waiting up to 30 s for it: a cold
# machine's first start of Wine takes seconds.
wait_for_window() {
    timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Stops the server and waits for it to go: a server still shutting down removes its socket
# on the way out, and would take with it the socket of a new server on the same display.
stop_xvfb() {
    [ -n "${XVFB_PID-}" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    while kill -0 "$XVFB_PID" 2>/dev/null; do sleep 0.02; done
    XVFB_PID=
}

# Gives what runs from here on a HOME of its own in DIR, made new for this run, as on a machine
# that never ran the program: no cache or setting a run before left changes what this one sees.
use_fresh_home() {
    export HOME=$1 XDG_CONFIG_HOME=$1/.config XDG_CACHE_HOME=$1/.cache \
        XDG_DATA_HOME=$1/.local/share XDG_STATE_HOME=$1/.local/state
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
}
