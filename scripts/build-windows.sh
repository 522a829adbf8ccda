#!/usr/bin/env bash
# Cross-builds lintrim-cli.exe for 64-bit Windows with MinGW-w64, and with
# --tests its test build lintrim-cli-paused.exe and the engine's tests
# lintrim_engine_tests.exe:
#   build-windows.sh [--tests] [DIR]   (default build-win; the programs are in DIR/bin)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
targets=(lintrim-cli lintrim)
[ "${1:-}" = --tests ] && targets+=(lintrim-cli-paused lintrim_engine_tests) && shift
dir=${1:-build-win}
cmake -S "$top" -B "$top/$dir" --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DLINTRIM_BUILD_UI=OFF -DBUILD_TESTING=OFF \
    -DLINTRIM_WITH_XZ=OFF -DLINTRIM_WITH_ZSTD=OFF -DLINTRIM_WITH_BZIP2=OFF -DLINTRIM_WITH_LZ4=OFF \
    -DLINTRIM_SPILL_COMPRESSION=OFF >/dev/null
cmake --build "$top/$dir" -j2 --target "${targets[@]}"
