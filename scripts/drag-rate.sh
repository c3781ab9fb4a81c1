#!/usr/bin/env bash
# Steps a second while dragging, as a user drags: the program starts on a virtual X display with
# a scene of the grid and sweeps asked for, the dye shown, and records; xdotool drags the pointer
# round a circle over the fluid for a while, the window closes, and the recording says how many
# steps ran between the first stir and the last. Any build of the program can be measured, so
# that two can be compared side by side.
#   scripts/drag-rate.sh PROGRAM GRID SWEEPS [SECONDS]   e.g. build-release/app/fluidsim 400 50
set -euo pipefail
program=${1:?usage: drag-rate.sh PROGRAM GRID SWEEPS [SECONDS]}
grid=${2:?grid}
sweeps=${3:?sweeps}
seconds=${4:-10}

source "$(dirname "$0")/virtual-display.sh"
work=$(mktemp -d)
trap 'stop_virtual_display; rm -rf "$work"' EXIT
start_virtual_display 120

cat >"$work/scene.fluidscene" <<EOF
{"format": "fluidsim-scene", "version": 1, "grid": $grid,
 "settings": {"viscosity": 1, "iterations": $sweeps, "viscosityOn": true, "fade": 2.3},
 "display": {"mode": "Dye", "hueA": 0, "hueB": 43, "saturation": 255, "coeffLin": 1,
             "coeffLog": 0, "log": false, "limitLight": 128, "limitOver": 9, "over": false,
             "positive": false},
 "obstacles": [], "corners": []}
EOF
"$program" "$work/scene.fluidscene" --record "$work/drag.fluidrec" >"$work/log" 2>&1 &
program_pid=$!
find_main_window || { cat "$work/log" >&2; exit 1; }

# A circle of radius 200 pixels about the view's centre, a move every 8 ms, in one xdotool run.
moves=$((seconds * 125))
commands=$(python3 - "$moves" <<'EOF'
import math, sys
n = int(sys.argv[1])
out = ["mousemove", "530", "350", "mousedown", "1"]
for k in range(n):
    a = 2 * math.pi * k / 250
    out += ["mousemove", str(int(330 + 200 * math.cos(a))), str(int(350 + 200 * math.sin(a))),
            "sleep", "0.008"]
out += ["mouseup", "1"]
print(" ".join(out))
EOF
)
start=$(date +%s.%N)
# shellcheck disable=SC2086
xdotool $commands
end=$(date +%s.%N)
sleep 0.5
xdotool mousemove 330 350 key ctrl+q
wait "$program_pid" || true
program_pid=""

python3 - "$work/drag.fluidrec" "$start" "$end" "$grid" "$sweeps" <<'EOF'
import json, sys
ops = json.load(open(sys.argv[1]))["operations"]
seconds = float(sys.argv[3]) - float(sys.argv[2])
stirs = [k for k, op in enumerate(ops) if op[0] in ("stir", "push")]
steps = sum(op[1] for op in ops[stirs[0]:stirs[-1] + 1] if op[0] == "step")
print(f"grid {sys.argv[4]}, {sys.argv[5]} sweeps: {steps} steps in {seconds:.2f} s of dragging, "
      f"{steps / seconds:.1f} a second; {len(stirs)} stirs and pushes")
EOF
