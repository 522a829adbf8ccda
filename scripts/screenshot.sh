#!/usr/bin/env bash
# Starts build/bin/lintrim on a virtual X display under a small window
# manager and saves what the screen shows to docs/screenshot.png.
# Usage: scripts/screenshot.sh [program] [output.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/bin/lintrim}
output=${2:-$root/docs/screenshot.png}
"$root/scripts/install-deps.sh"
[ -x "$program" ] || { echo "no program at $program: build first (scripts/build.sh build Release)"; exit 1; }

# A free display number: the first without a lock file.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
unset WAYLAND_DISPLAY

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
}
trap cleanup EXIT

# A small screen, so the picture is mostly the window and the task bar.
# -noreset: the server outlives its first client's disconnect.
Xvfb "$DISPLAY" -screen 0 420x260x24 -noreset -nolisten tcp &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
jwm &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$program" &
pids+=($!)
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintrim 4\.1$' | head -1)
# Let the window manager frame it and the program paint it.
sleep 1
mkdir -p "$(dirname "$output")"
import -window root "$output"
echo "saved $output (window $window)"
