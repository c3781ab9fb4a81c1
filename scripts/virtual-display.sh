# Sourced by the scripts that drive the program with xdotool on a virtual X display. They set
# xvfb_pid and program_pid; stop_virtual_display, their exit trap, ends both.

xvfb_pid=""
program_pid=""

# Xvfb on a display number from first (default 99) that no X server holds, exported as DISPLAY,
# once it answers.
start_virtual_display() {
    local number=${1:-99}
    while [ -e "/tmp/.X${number}-lock" ]; do
        number=$((number + 1))
    done
    export DISPLAY=":${number}"
    Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
        xdotool getmouselocation >/dev/null 2>&1 && return 0
        sleep 0.1
    done
}

stop_virtual_display() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# The program's main window, moved to the top left corner of the display, in $window.
find_main_window() {
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Fluid Simulation$" 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "no window" >&2; return 1; }
    xdotool windowmove "$window" 0 0
    sleep 1
}
