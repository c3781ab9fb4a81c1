#!/usr/bin/env bash
# How long the program takes to come to rest after a drag: it starts on a virtual X display with
# the grid asked for and the default settings, showing the dye (or the mode asked for), is
# dragged for 3 seconds, and is then left alone while its CPU time is read from /proc every 5
# seconds; the first 5 seconds at 2 % of a core or less end the wait. Any build can be measured,
# so that two can be compared.
#   scripts/rest-time.sh PROGRAM [GRID] [LIMIT_SECONDS] [MODE]   e.g. build-release/app/fluidsim 400
set -euo pipefail
program=${1:?usage: rest-time.sh PROGRAM [GRID] [LIMIT_SECONDS] [MODE]}
grid=${2:-400}
limit=${3:-400}
mode=${4:-Dye}

source "$(dirname "$0")/virtual-display.sh"
trap 'stop_virtual_display; rm -f "${scene:-}"' EXIT
start_virtual_display 140
scene=$(mktemp --suffix=.fluidscene)
cat >"$scene" <<EOF
{"format": "fluidsim-scene", "version": 1, "grid": $grid,
 "settings": {"viscosity": 1, "iterations": 20, "viscosityOn": true, "fade": 2.3},
 "display": {"mode": "$mode", "hueA": 0, "hueB": 43, "saturation": 255, "coeffLin": 1,
             "coeffLog": 0, "log": false, "limitLight": 128, "limitOver": 9, "over": false,
             "positive": false},
 "obstacles": [], "corners": []}
EOF
"$program" "$scene" >/dev/null 2>&1 &
program_pid=$!
find_main_window
commands=$(python3 - <<'EOF'
import math
out = ["mousemove", "530", "350", "mousedown", "1"]
for k in range(375):
    a = 2 * math.pi * k / 125
    out += ["mousemove", str(int(330 + 200 * math.cos(a))), str(int(350 + 200 * math.sin(a))),
            "sleep", "0.008"]
print(" ".join(out + ["mouseup", "1"]))
EOF
)
# shellcheck disable=SC2086
xdotool $commands
ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$program_pid/stat"; }
start=$(date +%s)
before=$(cpu)
while true; do
    sleep 5
    now=$(cpu)
    elapsed=$(($(date +%s) - start))
    percent=$(python3 -c "print(round(100 * ($now - $before) / $ticks / 5, 1))")
    echo "$elapsed s after the drag: $percent % of a core"
    if python3 -c "import sys; sys.exit(0 if $now - $before <= 0.02 * 5 * $ticks else 1)"; then
        echo "at rest $elapsed s after the drag"
        exit 0
    fi
    if [ "$elapsed" -ge "$limit" ]; then
        echo "not at rest after $limit s"
        exit 1
    fi
    before=$now
done
