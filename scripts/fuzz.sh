#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS
# (default 15) from seeds made here. A finding stops the script; its input
# is kept in build-fuzz/findings to replay with: build-fuzz/bin/TARGET FILE.
#
#   scripts/fuzz.sh [SECONDS]     e.g. scripts/fuzz.sh 3600 for a long run
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-15}
build=$top/build-fuzz
CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLINTRIM_FUZZ=ON \
    -DLINTRIM_BUILD_UI=OFF -DBUILD_TESTING=OFF -DLINTRIM_SANITIZE=address,undefined >/dev/null
cmake --build "$build" -j "$(nproc)" --target FuzzLines FuzzKeys FuzzCompressed FuzzOptions

seeds=$build/seeds
rm -rf "$seeds" && mkdir -p "$seeds"/{FuzzLines,FuzzKeys,FuzzCompressed,FuzzOptions} "$build/findings"
printf 'b\na\r\nb\n\nc\r\nb\na' > "$seeds/FuzzLines/mixed"
printf '\x05pass\npass\r\nPASS\n$HEX[70617373]\n\x1a' > "$seeds/FuzzLines/eof"
printf '\x03pass\n$HEX[70617373]\nPASS\n$HEX[5041]\npa\n$HEX[7]\n$hex[70]\n' > "$seeds/FuzzKeys/hex"
printf 'one\ntwo\none\nthree\n' > "$seeds/list"
for tool in gzip xz zstd bzip2 lz4; do
    command -v "$tool" >/dev/null && "$tool" -c "$seeds/list" > "$seeds/FuzzCompressed/$tool"
done
cp "$seeds/list" "$seeds/FuzzCompressed/plain"
printf -- '-o\0out\0-a\0a.txt' > "$seeds/FuzzOptions/merge"
printf -- '--min-length=3\0--max-length\0009\0-fq\0-r\0r\0--\0-x' > "$seeds/FuzzOptions/mixed"

for target in FuzzLines FuzzKeys FuzzCompressed FuzzOptions; do
    echo "== $target: $seconds s"
    mkdir -p "$build/corpus/$target"
    (cd "$build/findings" && "$build/bin/$target" -max_total_time="$seconds" -timeout=20 \
        -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
        "$build/corpus/$target" "$seeds/$target" 2>&1 | grep -E '^(stat::number_of_executed_units|==|SUMMARY|INFO: a leak)|ERROR' || true)
    [ -z "$(ls -A "$build/findings")" ] || { echo "fuzz: $target found a failing input in $build/findings" >&2; exit 1; }
done
echo "Fuzzing found nothing."
