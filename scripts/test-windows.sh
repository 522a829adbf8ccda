#!/usr/bin/env bash
# The command-line test table against lintrim-cli.exe under Wine: installs
# the cross compiler and Wine when missing, cross-builds build-win, and runs
# the Linux build's test target test-windows (tests/cli/wine-table.sh).
#   test-windows.sh [LINUX_BUILD_DIR]   (default build, as ./test.sh makes it)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-build}
"$top/scripts/install-deps.sh" "$top/scripts/packages-windows.txt"
"$top/scripts/build-windows.sh" --tests build-win
# Configured again, the Linux build finds the compiler and Wine and has the target.
cmake "$top/$linux" >/dev/null
cmake --build "$top/$linux" -j "$(nproc)" --target test-windows
