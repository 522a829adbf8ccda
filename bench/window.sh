#!/usr/bin/env bash
# Times the window against the command line on the same list: the window
# program under Xvfb and jwm, driven through its real controls (the input
# "..." button, Qt's file dialog, "go !"), from the press of go until the list
# has been replaced; then `lintrim-cli -q` on another copy of the same list.
# Prints both times, their ratio, and whether both wrote the same bytes.
#
#   bench/window.sh [LIST] [RUNS]   LIST default: bench/data/list_10M.txt
#                                   (bench/run.sh makes it; a 1M list:
#                                   gen_wordlist.py list --lines 1000000 -o FILE)
#                                   RUNS default 3: window and command line
#                                   alternate, medians are compared
#
# Uses build/bin/lintrim and build/bin/lintrim-cli as they are (build first:
# scripts/build.sh build Release).
set -euo pipefail
bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")
list=$(realpath "${1:-$bench/data/list_10M.txt}")
runs=${2:-3}
window_program=$repo/build/bin/lintrim
cli=$repo/build/bin/lintrim-cli

die() { echo "window.sh: $*" >&2; exit 2; }
log() { echo "window.sh: $*" >&2; }
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "RUNS must be a positive number"
[ -r "$list" ] || die "no list at $list (make one with bench/gen_wordlist.py)"
[ -x "$window_program" ] && [ -x "$cli" ] || die "build first: scripts/build.sh build Release"
"$repo/scripts/install-deps.sh" >&2

work=$(mktemp -d "${TMPDIR:-/tmp}/lintrim-window.XXXXXX")
pids=()
cleanup() {
    # The newest first: the X server goes after its clients.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Clock, sleep and the replacement check without a process each, so that
# polling takes no time from the run it measures.
now() { echo "$EPOCHREALTIME"; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
exec {tick}<> <(:)  # a pipe nothing is written to: `read -t` on it only waits
# Polls the command every 10 ms for at most $1 seconds.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        read -rt 0.01 -u "$tick" || true
    done
}

# ---------------------------------------------------------------- display
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
unset WAYLAND_DISPLAY
# -noreset: the server outlives its first client's disconnect.
Xvfb "$DISPLAY" -screen 0 1024x768x24 -noreset -nolisten tcp 2>/dev/null &
pids+=($!)
x_ready() { xdpyinfo >/dev/null 2>&1; }
wait_for 10 x_ready || die "Xvfb did not start"
jwm 2>/dev/null &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; }
wait_for 10 wm_ready || die "jwm did not start"

# ---------------------------------------------------------------- window
mkdir "$work/window" "$work/cli"
QT_QPA_PLATFORM=xcb "$window_program" 2>/dev/null &
window_pid=$!
pids+=("$window_pid")
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Lintrim 4\.1$' | head -1)
[ -n "$main" ] || die "the window did not appear"
# Control centres in pixels: the window's font (DejaVu Sans 7 pt) makes a
# dialog unit 6/4 pixels wide and 10/8 high. "..." is at 117,0 (18 x 12)
# units, "go !" at 138,1 (22 x 26).
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
chooser_open() { xdotool search --onlyvisible --name '^(Open|Select)' >/dev/null 2>&1; }

# Qt's file dialog: its name box has the focus; Enter may first close the
# completion list, so it is pressed until the dialog has gone.
choose_list() {
    wmctrl -i -a "$main"
    click $((126 * 6 / 4)) $((6 * 10 / 8))
    local chooser
    chooser=$(timeout 20 xdotool search --sync --onlyvisible --name '^(Open|Select)' | head -1)
    [ -n "$chooser" ] || die "the file dialog did not appear"
    wmctrl -i -a "$chooser"
    xdotool mousemove --window "$chooser" 100 100
    xdotool type --delay 2 "$1"
    for _ in 1 2 3 4 5; do
        chooser_open || return 0
        xdotool key Return
        sleep 0.3
    done
    die "the file dialog did not take the list"
}

# CPU seconds (user + system) the window program has used so far.
window_cpu() {
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$window_pid/stat"
}

# One run through the window: a fresh copy, chosen, go pressed, timed until
# the list's name leads to a new file.
time_window() {
    local copy=$work/window/list.txt
    rm -f "$copy" "$work/original"
    cp "$list" "$copy"
    ln "$copy" "$work/original"
    sync
    choose_list "$copy"
    replaced() { ! [ "$copy" -ef "$work/original" ]; }
    local cpu start
    cpu=$(window_cpu)
    start=$(now)
    click $((149 * 6 / 4)) $((14 * 10 / 8))
    wait_for 600 replaced || die "the window did not replace the list"
    window_s+=("$(seconds "$start" "$(now)")")
    window_cpu_s+=("$(seconds "$cpu" "$(window_cpu)")")
}

time_cli() {
    local copy=$work/cli/list.txt start
    cp "$list" "$copy"
    sync
    start=$(now)
    /usr/bin/time -f '%U %S' -o "$work/cpu" "$cli" -q "$copy" >/dev/null
    cli_s+=("$(seconds "$start" "$(now)")")
    cli_cpu_s+=("$(awk '{ printf "%.2f", $1 + $2 }' "$work/cpu")")
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

window_s=() window_cpu_s=() cli_s=() cli_cpu_s=()
for ((r = 1; r <= runs; r++)); do
    log "run $r/$runs: window"
    time_window
    log "run $r/$runs: command line"
    time_cli
done

same=yes
cmp -s "$work/window/list.txt" "$work/cli/list.txt" || same=NO
w=$(median "${window_s[@]}") c=$(median "${cli_s[@]}")
printf 'list          %s (%s lines), %s runs, medians\n' "$list" "$(wc -l < "$list")" "$runs"
printf 'window        %s s  (runs: %s; CPU of the window program: %s s)\n' "$w" "${window_s[*]}" "$(median "${window_cpu_s[@]}")"
printf 'command line  %s s  (runs: %s; CPU: %s s)\n' "$c" "${cli_s[*]}" "$(median "${cli_cpu_s[@]}")"
printf 'ratio         %s (target <= 1.10)\n' "$(awk -v w="$w" -v c="$c" 'BEGIN { printf "%.2f", w / c }')"
printf 'same bytes    %s\n' "$same"
[ "$same" = yes ]
