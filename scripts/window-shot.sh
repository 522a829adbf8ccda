#!/usr/bin/env bash
# Starts the window program on a virtual X display under a small window
# manager and saves the window's own pixels (its client area) to a PNG.
# With --check REFERENCE.png the picture is compared with the reference
# instead, pixel for pixel, and any difference fails (so the window's look
# cannot drift unseen).
#   window-shot.sh PROGRAM OUTPUT.png [--check REFERENCE.png] [ENV=VALUE...]
set -euo pipefail
program=$1 output=$2
shift 2
reference=
if [ "${1:-}" = --check ]; then reference=$2; shift 2; fi

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
Xvfb "$DISPLAY" -screen 0 640x480x24 -noreset -nolisten tcp &
pids+=($!)
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
jwm &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

env QT_QPA_PLATFORM=xcb "$@" "$program" &
pids+=($!)
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintrim 4\.1$' | head -1)
sleep 1  # framed by the window manager and painted
import -window "$window" "$output"
if [ -n "$reference" ]; then
    differing=$(compare -metric AE "$reference" "$output" /dev/null 2>&1 || true)
    [ "$differing" = 0 ] || { echo "window-shot: $differing pixels differ from $reference" >&2; exit 1; }
    echo "window-shot: the window is pixel for pixel $reference"
fi
