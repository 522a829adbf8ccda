#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite three
# times: a normal Release build, from which the Debian package is made and
# checked (and its command-line tests run again against the Windows build
# under Wine), an AddressSanitizer + UndefinedBehaviorSanitizer build and a
# ThreadSanitizer build; then fuzzes for a minute. Exits non-zero
# on any failure.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
run_suite() {
    local dir=$1 type=$2 sanitize=${3:-}
    shift $(($# < 3 ? $# : 3))
    echo "== $dir: $type ${sanitize:+($sanitize)} $*"
    scripts/build.sh "$dir" "$type" "$sanitize" "$@"
    ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
}
run_suite build Release
# The Debian package, made from that build and checked unpacked.
deb=$(scripts/package.sh build)
scripts/test-package.sh "$deb"
# The command-line table again, against lintrim-cli.exe cross-built for
# Windows, under Wine.
scripts/test-windows.sh build
# A request too large for memory must come back as "no", as it does without
# the sanitizer, so that the tests of that case see the program's answer.
ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
    run_suite build-asan RelWithDebInfo address,undefined
# The worker thread and the window's thread meet in the job requests.
run_suite build-tsan RelWithDebInfo thread
# A short coverage-guided run over everything that parses a user's bytes.
scripts/fuzz.sh 15
echo "All tests passed."
