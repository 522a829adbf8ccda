#!/usr/bin/env bash
# The Windows build's tests under Wine: installs the cross compiler, Wine
# and GoogleTest's sources when missing, cross-builds build-win with the
# engine's tests, and runs the Linux build's test target test-windows
# (tests/cli/wine-table.sh): the engine's failure table and models, then the
# command-line test table against lintrim-cli.exe.
#   test-windows.sh [LINUX_BUILD_DIR]   (default build, as ./test.sh makes it)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-build}
"$top/scripts/install-deps.sh" "$top/scripts/packages-windows.txt"
"$top/scripts/build-windows.sh" --tests build-win
# Configured again, the Linux build finds the compiler and Wine and has the target.
cmake "$top/$linux" >/dev/null
cmake --build "$top/$linux" -j "$(nproc)" --target test-windows
