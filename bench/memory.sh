#!/usr/bin/env bash
# Peak resident memory of lintrim-cli against its budget: each run must stay
# within the budget plus 16 MiB, whatever the input (standard input, a gzip
# list, a plain file) and whatever the order (file order, -a, -f).
#
#   bench/memory.sh [--list 1M|10M] [--budgets "16M 64M 256M"] [--no-build]
#
# LINTRIM_CLI names another binary to measure (with --no-build).
#
# The list is bench/data/list_<size>.txt (made by gen_wordlist.py on
# first use); its gzip twin is made once beside it. Prints a markdown table,
# also written to bench/results/memory-<size>.md; exits 1 when a run is OVER.
set -euo pipefail
bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")
data=$bench/data results=$bench/results
size=10M budgets="16M 64M 256M" build=1
while [ $# -gt 0 ]; do
    case $1 in
        --list) size=$2; shift ;;
        --budgets) budgets=$2; shift ;;
        --no-build) build=0 ;;
        -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "memory: unknown option $1" >&2; exit 2 ;;
    esac
    shift
done
case $size in 1M|10M) ;; *) echo "memory: --list 1M or 10M" >&2; exit 2 ;; esac
[ -x /usr/bin/time ] || { echo "memory: /usr/bin/time is missing (package 'time')" >&2; exit 2; }
[ "$build" = 1 ] && "$repo/scripts/build.sh" build Release >/dev/null
cli=${LINTRIM_CLI:-$repo/build/bin/lintrim-cli}
list=$data/list_$size.txt
mkdir -p "$data" "$results"
[ -s "$list" ] || python3 "$bench/gen_wordlist.py" list --lines "${size%M}000000" -o "$list"
[ -s "$list.gz" ] || gzip -c -1 "$list" > "$list.gz"
work=$(mktemp -d "$data/memory.XXXXXX")
export LIST=$list
trap 'rm -rf "$work"' EXIT
over=0

# Runs lintrim-cli once; prints its peak RSS in KiB, or FAILED.
peak() {
    if /usr/bin/time -f %M -o "$work/time" "$@" > "$work/log" 2>&1; then
        tail -n 1 "$work/time"
    else
        echo "memory: $* failed: $(tail -n 1 "$work/log")" >&2
        echo FAILED
    fi
}

row() {  # input, order, budget, command...
    local input=$1 order=$2 budget=$3; shift 3
    local kib limit verdict
    kib=$(peak "$@")
    limit=$(( $(numfmt --from=iec "$budget") / 1024 + 16 * 1024 ))
    if [ "$kib" = FAILED ]; then verdict=FAILED over=1
    elif [ "$kib" -le "$limit" ]; then verdict=PASS
    else verdict=OVER over=1
    fi
    local mib=$kib; [ "$kib" != FAILED ] && mib=$(( kib / 1024 ))
    printf '| %s | %s | %s | %s | %s | %s |\n' "$input" "$order" "$budget" "$mib" \
        "$(( limit / 1024 ))" "$verdict" | tee -a "$work/table"
}

{
    echo "List: $(basename "$list"), $(stat -c %s "$list") bytes; $(nproc) cores; $(git -C "$repo" rev-parse --short HEAD)"
    echo
    echo '| input | order | budget | peak MiB | bound MiB | verdict |'
    echo '|---|---|---|---:|---:|---|'
} > "$work/table"
cat "$work/table"
for budget in $budgets; do
    for order in file -a -f; do
        flags=(-q --memory "$budget"); [ "$order" != file ] && flags+=("$order")
        row stdin "$order" "$budget" sh -c 'exec "$0" "$@" < "$LIST"' "$cli" "${flags[@]}" -o "$work/out" -
        row gzip "$order" "$budget" "$cli" "${flags[@]}" -o "$work/out" "$list.gz"
        row file "$order" "$budget" "$cli" "${flags[@]}" -o "$work/out" "$list"
    done
done
cp "$work/table" "$results/memory-$size.md"
exit "$over"
