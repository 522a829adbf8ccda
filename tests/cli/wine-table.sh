#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a fresh prefix that is
# removed afterwards: the engine's tests (lintrim_engine_tests.exe in BIN:
# the failure table against the Windows calls, and the models but the
# largest, which takes half a minute there; the window's shared handlers and
# its chooser's answer), the window lintrim.exe on a virtual display
# (tests/win/wine-window.sh), then the command-line test
# table (CLI_TEST, a Linux program) with a Windows lintrim-cli.exe and its
# test build lintrim-cli-paused.exe as the programs under test.
#   wine-table.sh WINE BIN CLI_TEST
set -euo pipefail
wine=$1 bin=$2 table=$3
export WINEPREFIX WINEDEBUG=-all
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/lintrim-wine-XXXXXX")
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
xvfb= jwm=
trap '"$wineserver" -k 2>/dev/null || :; rm -rf "$WINEPREFIX"; kill $jwm $xvfb 2>/dev/null || :' EXIT
# The window's test needs a display, which the prefix's desktop is made on.
display=99
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 640x480x24 -noreset -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# Without a window manager Wine waits two seconds for each window it hides.
jwm >/dev/null 2>&1 &
jwm=$!
# The server stays up between the runs, and the prefix is made once.
"$wineserver" -p
"$wine" wineboot.exe -i >/dev/null 2>&1
"$wine" "$bin/lintrim_engine_tests.exe" --gtest_brief=1 \
    --gtest_filter=-RunEvents.LineKeysMatchTheModelInEveryJobAndOrder
# The window, in the same prefix.
"$(dirname "$0")/../win/wine-window.sh" "$wine" "$bin"
LINTRIM_CLI="$wine $bin/lintrim-cli.exe" LINTRIM_CLI_PAUSED="$wine $bin/lintrim-cli-paused.exe" "$table"
