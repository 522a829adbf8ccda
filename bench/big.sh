#!/usr/bin/env bash
# Times every job of lintrim-cli once on a list larger than its memory
# budget, beside `LC_ALL=C sort -u -S` with the same budget, and reports wall
# time, peak memory and the peak growth of the used disk (temporary files and
# the new list being written).
#
#   bench/big.sh [--list 100M|500M|1B] [--memory 1G|default] [--jobs "file alpha freq ref single sortu"]
#
# With --memory default, lintrim-cli takes its default budget and sort its
# default buffer.
#
# The lists are suffixed copies of the 10M list (bench/gen_wordlist.py
# suffixed), made once in bench/data/. The table goes to
# bench/results/big-<list>-<memory>.md.
set -euo pipefail
bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")
data=$bench/data results=$bench/results
size=500M memory=1G jobs="file alpha freq ref single sortu"
while [ $# -gt 0 ]; do
    case $1 in
        --list) size=$2; shift ;;
        --memory) memory=$2; shift ;;
        --jobs) jobs=$2; shift ;;
        -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "big: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
case $size in 100M) copies=10 ;; 500M) copies=50 ;; 1B) copies=100 ;; *) echo "big: --list 100M, 500M or 1B" >&2; exit 2 ;; esac
list=$data/list_$size.txt
[ -s "$data/list_10M.txt" ] || "$bench/run.sh" --list 1M --runs 1 --quick --only peers >/dev/null
if [ ! -s "$list" ]; then
    echo "big: making $list ($copies suffixed copies of the 10M list)" >&2
    # The suffixes of gen_wordlist.py's "suffixed", with sed, which is many
    # times faster: every non-empty line of copy k gets "~k" before its CR,
    # if any, and its LF.
    for ((k = 0; k < copies; k++)); do
        LC_ALL=C sed "/^\r\?\$/!s/\(\r\?\)\$/~$k\1/" "$data/list_10M.txt"
    done > "$list.part"
    mv "$list.part" "$list"
fi
cli=$repo/build/bin/lintrim-cli
budget=(--memory "$memory") sortbuffer=(-S "$memory")
[ "$memory" = default ] && budget=() sortbuffer=()
[ -x "$cli" ] || { echo "big: build first (scripts/build.sh build Release)" >&2; exit 2; }
single=$(tr -d '\r\n' < "$data/single_line.txt")
work=$(mktemp -d "$data/big.XXXXXX")
trap 'rm -rf "$work"' EXIT
used() { df --output=used -B1 "$work" | tail -n 1; }

# Runs a command on a fresh copy of the list while sampling the disk.
run() {
    local name=$1; shift
    cp "$list" "$work/list.txt"; sync
    local base peak=0 now
    base=$(used)
    ( while sleep 0.5; do echo "$(used)"; done ) > "$work/disk" &
    local sampler=$!
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" > "$work/stdout" 2>&1 || echo "big: $name FAILED" >&2
    kill "$sampler"; wait "$sampler" 2>/dev/null || true
    while read -r now; do [ "$now" -gt "$peak" ] && peak=$now; done < "$work/disk"
    local grown=$(( peak > base ? (peak - base) / 1048576 : 0 ))
    read -r wall rss < "$work/time"
    printf '| %s | %s | %s | %s | %s |\n' "$name" "$wall" "$((rss / 1024))" "$grown" \
        "$(tail -n 1 "$work/stdout" | sed 's/.*: //')" | tee -a "$work/table"
    rm -f "$work/list.txt" "$work/out.txt"
}

bytes=$(stat -L -c %s "$list")
{
    echo "List: $(basename "$list"), $bytes bytes; memory budget $memory; $(nproc) cores, $(free -g | awk '/^Mem:/ { print $2 }') GB RAM; $(git -C "$repo" rev-parse --short HEAD)"
    echo
    echo '| job | wall s | peak MiB | disk growth MiB | summary |'
    echo '|---|---:|---:|---:|---|'
} > "$work/table"
cat "$work/table"
for job in $jobs; do
    case $job in
        file) run "file order" "$cli" -q "${budget[@]}" "$work/list.txt" ;;
        alpha) run "alphabetical" "$cli" -q -a "${budget[@]}" "$work/list.txt" ;;
        freq) run "by frequency" "$cli" -q -f "${budget[@]}" "$work/list.txt" ;;
        ref) run "reference (ref_2M)" "$cli" -q "${budget[@]}" -r "$data/ref_2M.txt" "$work/list.txt" ;;
        single) run "single line" "$cli" -q "${budget[@]}" -d "$single" "$work/list.txt" ;;
        sortu) run "LC_ALL=C sort -u -S $memory" env LC_ALL=C sort -u "${sortbuffer[@]}" -T "$work" "$work/list.txt" -o "$work/out.txt" ;;
    esac
done
mkdir -p "$results"
cp "$work/table" "$results/big-$size-$memory.md"
