# Sourced by the scripts that run the real program as a Wayland client.

# Starts a private headless Weston, with its debug protocol open to read its timeline; exports
# XDG_RUNTIME_DIR (a directory of its own, mode 0700, as the Wayland libraries demand) and
# WAYLAND_DISPLAY, and sets WESTON_PID. The caller calls stop_weston when done. Weston draws
# with pixman, so no GPU is needed.
start_weston() {
    XDG_RUNTIME_DIR=$(mktemp -d)
    chmod 700 "$XDG_RUNTIME_DIR"
    export XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-kazerima
    weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" \
        --width=1024 --height=768 --idle-time=0 --debug \
        >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 200); do
        [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && return 0
        sleep 0.05
    done
    cat "$XDG_RUNTIME_DIR/weston.log" >&2
    return 1
}

stop_weston() {
    [ -n "${WESTON_PID-}" ] || return 0
    kill "$WESTON_PID" 2>/dev/null || true
    while kill -0 "$WESTON_PID" 2>/dev/null; do sleep 0.02; done
    WESTON_PID=
    rm -rf "$XDG_RUNTIME_DIR"
}
