# Shell functions that run a private X display for Kestrel's window tests:
# an Xvfb server with a window manager (openbox), as operators have, so
# keys, focus and window activation behave as on their desktops. Sourced by
# scripts/test.

# display_start DIR: starts Xvfb on a free display number and openbox on it,
# and exports DISPLAY. The server's and the manager's logs go into DIR.
display_start() {
    local dir=$1
    mkdir -p "$dir"
    # Xvfb picks a free display number itself and writes it on fd 3.
    exec {display_fd}<> <(:)
    Xvfb -displayfd "$display_fd" -screen 0 1600x1000x24 -nolisten tcp \
        -noreset >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    local number="" i
    for i in $(seq 1 100); do
        read -r -t 0.2 number <&"$display_fd" && break
    done
    exec {display_fd}>&-
    if [ -z "$number" ]; then
        echo "Xvfb did not start; see $dir/xvfb.log" >&2
        cat "$dir/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$number"
    openbox --sm-disable >"$dir/openbox.log" 2>&1 &
    echo $! >"$dir/openbox.pid"
    # The manager is up once it owns the screen's window-manager selection.
    for i in $(seq 1 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "openbox did not start; see $dir/openbox.log" >&2
    return 1
}

# display_stop DIR: stops the window manager and the server display_start ran.
display_stop() {
    local dir=$1 f pid
    for f in openbox xvfb; do
        [ -f "$dir/$f.pid" ] || continue
        pid=$(cat "$dir/$f.pid")
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
