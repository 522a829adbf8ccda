#!/usr/bin/env bash
# Cross-builds Lintrim for 64-bit Windows with MinGW-w64: the window
# lintrim.exe and the command line lintrim-cli.exe, and puts both in
# DIR/lintrim-VERSION-windows-x64.zip with the README and the licence text
# (Lintrim's own and those of the C++ runtime, winpthreads, zlib and
# xxHash, which are linked in). With --tests also the test builds:
# lintrim-cli-paused.exe, the engine's and the window's shared tests
# lintrim_engine_tests.exe, the window's tests lintrim_window_tests.exe, and
# lintrim-probe.exe, which the window's test reads the window with:
#   build-windows.sh [--tests] [DIR]   (default build-win; the programs are in DIR/bin)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
targets=(lintrim-cli lintrim)
[ "${1:-}" = --tests ] && targets+=(lintrim-cli-paused lintrim_engine_tests lintrim_window_tests lintrim-probe) && shift
dir=${1:-build-win}
cmake -S "$top" -B "$top/$dir" --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DLINTRIM_BUILD_UI=OFF -DBUILD_TESTING=OFF \
    -DLINTRIM_WITH_XZ=OFF -DLINTRIM_WITH_ZSTD=OFF -DLINTRIM_WITH_BZIP2=OFF -DLINTRIM_WITH_LZ4=OFF \
    -DLINTRIM_SPILL_COMPRESSION=OFF >/dev/null
cmake --build "$top/$dir" -j2 --target "${targets[@]}"

version=$(sed -n 's/^project(Lintrim VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
name=lintrim-$version-windows-x64
mkdir "$stage/$name"
cp "$top/$dir/bin/lintrim.exe" "$top/$dir/bin/lintrim-cli.exe" "$stage/$name/"
sed 's/$/\r/' "$top/README.md" >"$stage/$name/README.txt"
{
    cat "$top/packaging/copyright"
    for linked in gcc-mingw-w64-base mingw-w64-x86-64-dev libz-mingw-w64 libxxhash-dev; do
        printf '\n\n==== Linked into the programs: %s ====\n\n' "$linked"
        cat "/usr/share/doc/$linked/copyright"
    done
} | sed 's/$/\r/' >"$stage/$name/LICENSE.txt"
rm -f "$top/$dir/$name.zip"
(cd "$stage" && zip -q -r -X "$top/$dir/$name.zip" "$name")
echo "$top/$dir/$name.zip"
