#!/usr/bin/env bash
# Runs the Windows build's tests under Wine, in a fresh prefix that is
# removed afterwards: the engine's tests (lintrim_engine_tests.exe in BIN:
# the failure table against the Windows calls, and the models but the
# largest, which takes half a minute there), then the command-line test
# table (CLI_TEST, a Linux program) with a Windows lintrim-cli.exe and its
# test build lintrim-cli-paused.exe as the programs under test.
#   wine-table.sh WINE BIN CLI_TEST
set -euo pipefail
wine=$1 bin=$2 table=$3
export WINEPREFIX WINEDEBUG=-all
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/lintrim-wine-XXXXXX")
wineserver=$(dirname "$(readlink -f "$wine")")/wineserver
trap '"$wineserver" -k 2>/dev/null || :; rm -rf "$WINEPREFIX"' EXIT
# The server stays up between the runs, and the prefix is made once.
"$wineserver" -p
"$wine" wineboot.exe -i >/dev/null 2>&1
"$wine" "$bin/lintrim_engine_tests.exe" --gtest_brief=1 \
    --gtest_filter=-RunEvents.LineKeysMatchTheModelInEveryJobAndOrder
LINTRIM_CLI="$wine $bin/lintrim-cli.exe" LINTRIM_CLI_PAUSED="$wine $bin/lintrim-cli-paused.exe" "$table"
