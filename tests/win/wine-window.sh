#!/usr/bin/env bash
# The Windows window under Wine on a virtual X display: first its tests
# (lintrim_window_tests.exe: clicks, a drop, Enter, a close during a run),
# then the program as a user has it: lintrim.exe starts
# with a list named on its command line (a name with a blank and a letter
# beyond ASCII), the input caption must name it, "go !" is pressed with the
# pointer, and once the status line shows the list's summary the list must
# hold the bytes that lintrim-cli.exe --crlf makes of the same list. The
# window is read from outside by lintrim-probe.exe. With --shot, the
# window's client area after the run is saved to OUTPUT.png.
# Runs in WINEPREFIX on DISPLAY when a prefix is set up (wine-table.sh
# makes its own on its own virtual display), else in a fresh prefix on a
# fresh display, which takes a quarter of a minute more.
#   wine-window.sh WINE BIN [--shot OUTPUT.png]
set -euo pipefail
wine=$1 bin=$2 shot=
[ "${3:-}" = --shot ] && shot=$(readlink -f "$4")
export WINEDEBUG=-all
work=$(mktemp -d "${TMPDIR:-/tmp}/lintrim-window-XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [ -n "${own_prefix:-}" ] && { "$wineserver" -k 2>/dev/null || :; rm -rf "$WINEPREFIX"; }
    rm -rf "$work"
}
trap cleanup EXIT
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
# A prefix's desktop lives on the display it was made on: a fresh prefix is
# made on a fresh display.
if [ -z "${WINEPREFIX:-}" ]; then
    display=99
    while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    export DISPLAY=:$display
    Xvfb "$DISPLAY" -screen 0 640x480x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    # Without a window manager Wine waits two seconds for each window it hides.
    jwm >/dev/null 2>&1 &
    pids+=($!)
    export WINEPREFIX=$work/prefix own_prefix=1
    "$wine" wineboot.exe -i >/dev/null 2>&1
fi

# The window in the tests' own process, driven through its controls.
"$wine" "$bin/lintrim_window_tests.exe" --gtest_brief=1

# Repeats, an empty line, a line without its end, LF and CR LF mixed.
list="$work/wörter liste.txt"
printf 'beta\nalpha\r\nbeta\n\ngamma\r\nalpha\ndelta' >"$list"
cp "$list" "$work/by-cli.txt"
# The Linux root is drive Z: to Wine.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$wine" "$bin/lintrim-cli.exe" --crlf -s "$(winpath "$work/by-cli.txt")"

probe() { "$wine" "$bin/lintrim-probe.exe" "$@" | tr -d '\r'; }
"$wine" "$bin/lintrim.exe" "$(winpath "$list")" &
pids+=($!)
caption=$(probe wait 1000 "wörter liste.txt") || { echo "wine-window: caption '$caption'" >&2; exit 1; }
read -r x y < <(probe centre 1004)
xdotool mousemove "$x" "$y" click 1
status=$(probe wait 1006 " dupes, ") || { echo "wine-window: status '$status'" >&2; exit 1; }
echo "wine-window: the window's status after go: $status"
cmp "$list" "$work/by-cli.txt"
[ "$(probe enabled 1004)" = 1 ] || { echo "wine-window: go not given back" >&2; exit 1; }
if [ -n "$shot" ]; then
    window=$(xdotool search --onlyvisible --name '^Lintrim 4\.1$' | head -1)
    eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/{print "left="$4} /Absolute upper-left Y/{print "top="$4} /Width/{print "width="$2} /Height/{print "height="$2}')"
    xdotool mousemove 0 0
    sleep 0.5  # the hover look gone
    import -window root -crop "${width}x${height}+$left+$top" +repage "$shot"
fi
probe close
wait "${pids[-1]}"
echo "wine-window: the list is byte for byte lintrim-cli.exe --crlf's"
