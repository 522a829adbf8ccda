#!/usr/bin/env bash
# Takes the window's pictures for docs/ under Xvfb: the window at twice its
# size and under a dark desktop theme, the options dialog, and the results
# of a run over two lists (one of them missing).
#   docs-shots.sh [PROGRAM] [OUTPUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/bin/lintrim}
out=${2:-$root/docs}
work=$(mktemp -d)
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
Xvfb "$DISPLAY" -screen 0 900x600x24 -noreset -nolisten tcp &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
jwm 2>/dev/null &
pids+=($!)
sleep 1

# Starts the program with `env` and lists, and sets `window` to its window.
start() {
    env QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work" "$@" >/dev/null 2>&1 &
    pids+=($!)
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintrim 4\.1$' | head -1)
}
shoot() { sleep 1; import -window "$1" "$2"; echo "saved $2"; }
stop() { kill "${pids[-1]}"; wait "${pids[-1]}" 2>/dev/null || true; unset 'pids[-1]'; }

start QT_SCALE_FACTOR=2 "$program"
shoot "$window" "$out/window-2x.png"
stop
start QT_STYLE_OVERRIDE=Adwaita-Dark "$program"
shoot "$window" "$out/window-dark.png"
stop

printf 'pass\nword\npass\n123456\nword\npass\n' >"$work/leaked.txt"
printf 'dragon\r\nqwerty\r\ndragon\r\n' >"$work/old.txt"
start "$program" "$work/leaked.txt" "$work/old.txt"
xdotool key --window "$window" Tab Return  # go, the second control
sleep 2
# A right click on the window's face, between the controls, opens its menu.
xdotool mousemove --window "$window" 91 62 click 3
sleep 0.5
xdotool key o
options=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lintrim options$' | head -1)
shoot "$options" "$out/options.png"
xdotool key Escape
xdotool mousemove --window "$window" 91 62 click 3
sleep 0.5
xdotool key r
results=$(timeout 10 xdotool search --sync --onlyvisible --name '^Lintrim results$' | head -1)
shoot "$results" "$out/results.png"
