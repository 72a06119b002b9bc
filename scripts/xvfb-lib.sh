# Sourced by the scripts that run the real program in a virtual X server.

# Starts a private Xvfb on a free display, exports DISPLAY and sets XVFB_PID; the caller
# kills XVFB_PID when done.
start_xvfb() {
    local number_file
    number_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 200); do
        [ -s "$number_file" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(cat "$number_file")"
    rm -f "$number_file"
}

# Prints the id of the visible window titled exactly TITLE, waiting up to 10 s for it.
wait_for_window() {
    timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
