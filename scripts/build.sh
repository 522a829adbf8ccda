#!/usr/bin/env bash
# Configures and builds one build folder:
#   build.sh DIR BUILD_TYPE [SANITIZERS] [more CMake options...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1 type=$2 sanitize=${3:-}
shift $(($# < 3 ? $# : 3))
cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE="$type" -DLINTRIM_SANITIZE="$sanitize" "$@" >/dev/null
cmake --build "$top/$dir" -j "$(nproc)"
