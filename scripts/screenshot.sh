#!/usr/bin/env bash
# Makes docs/screenshot.png: builds the program, starts it on a virtual X display with a grid of
# 400 cells a side, places an obstacle, shows the dye, pours it with scripted mouse drags past the
# obstacle, places two corners of the next one, and grabs the window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages imagemagick xdotool

cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DFLUID_BUILD_TESTS=OFF -DFLUID_BUILD_BENCH=OFF
cmake --build build-release -j2 --target fluidsim

source scripts/virtual-display.sh
trap stop_virtual_display EXIT
start_virtual_display

build-release/app/fluidsim --grid 400 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --name "^Fluid Simulation$" | head -1)
eval "$(xdotool getwindowgeometry --shell "$window")"  # sets X and Y of the window
sleep 1

# The view is the 640 x 640 square at (10, 29) in the window, below the menu bar. Two strokes through its middle, in
# opposite directions, leave a pair of vortices.
drag() {  # from_x from_y to_x to_y, in view pixels
    local steps=40 k
    xdotool mousemove $((X + 10 + $1)) $((Y + 29 + $2)) mousedown 1
    for k in $(seq 1 $steps); do
        xdotool mousemove $((X + 10 + $1 + ($3 - $1) * k / steps)) \
                          $((Y + 29 + $2 + ($4 - $2) * k / steps))
        sleep 0.02
    done
    xdotool mouseup 1
}
click() {  # x y button, in view pixels
    xdotool mousemove $((X + 10 + $1)) $((Y + 29 + $2)) click "$3"
    sleep 0.1
}
# An obstacle in the stream; the Dye picture, chosen as the last item of the display box; two
# strokes past the obstacle in opposite directions, which leave a pair of vortices in the dye; then
# two corners of the next obstacle, so that the outline, the corners and the status bar's count of
# them are all in the picture.
click 300 150 3
click 420 230 3
click 330 330 3
click 330 330 2
xdotool mousemove $((X + 700)) $((Y + 451)) click 1
sleep 0.3
xdotool key End Return
sleep 0.3
drag 80 240 560 260
drag 560 400 80 380
click 120 480 3
click 240 540 3
sleep 0.5

mkdir -p docs
import -window "$window" docs/screenshot.png
echo "Wrote docs/screenshot.png"
