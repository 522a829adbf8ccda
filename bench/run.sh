#!/usr/bin/env bash
# Times lintrim-cli against the standard Unix tools on the benchmark word
# lists, side by side in one run, and prints a markdown table of medians
# (wall seconds, peak memory, ratio to `LC_ALL=C sort -u` on the same list).
#
#   bench/run.sh [--list 1M|10M|100M] [--runs N] [--quick] [--only ours|peers]
#                [--big] [--no-build] [--keep-outputs]
#
#   --list 100M   ten copies of the 10M list, each line with its own "~k"
#                 suffix (about 1.1 GB); made once on demand, as is --big
#   --quick       skips the slow peers (awk, grep -vxFf)
#   --only ours   times only lintrim-cli (sort -u still runs: it is the
#                 yardstick of every ratio); --only peers needs no build
#   --no-build    uses build/bin/lintrim-cli as it is
#
# The data set is made once and cached in bench/data/; the table is also
# written to bench/results/latest.md (and <list>.md), the raw timings to
# bench/results/latest.tsv.
set -euo pipefail

bench=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$bench")
data=$bench/data
results=$bench/results
cli=$repo/build/bin/lintrim-cli

size=10M runs=3 quick=0 only=all big=0 build=1 keep=0

usage() { sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'; }
die() { echo "bench: $*" >&2; exit 2; }

while [ $# -gt 0 ]; do
    case $1 in
        --list) [ $# -ge 2 ] || die "--list needs 1M, 10M or 100M"; size=$2; shift ;;
        --list=*) size=${1#*=} ;;
        --runs) [ $# -ge 2 ] || die "--runs needs a number"; runs=$2; shift ;;
        --runs=*) runs=${1#*=} ;;
        --quick) quick=1 ;;
        --only) [ $# -ge 2 ] || die "--only needs ours or peers"; only=$2; shift ;;
        --only=*) only=${1#*=} ;;
        --big) big=1 ;;
        --no-build) build=0 ;;
        --keep-outputs) keep=1 ;;
        -h|--help) usage; exit 0 ;;
        *) usage >&2; die "unknown option: $1" ;;
    esac
    shift
done
case $size in 1M|10M|100M) ;; *) die "--list must be 1M, 10M or 100M" ;; esac
case $only in all|ours|peers) ;; *) die "--only must be ours or peers" ;; esac
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "--runs must be a positive number"
[ "$size" = 100M ] && big=1
[ -x /usr/bin/time ] || die "/usr/bin/time is missing (Debian package 'time')"

log() { echo "bench: $*" >&2; }

# ---------------------------------------------------------------- build
if [ "$only" != peers ]; then
    if [ "$build" = 1 ]; then
        log "building the Release binary"
        cmake -S "$repo" -B "$repo/build" -DCMAKE_BUILD_TYPE=Release >&2
        cmake --build "$repo/build" -j2 --target lintrim-cli >&2
    fi
    [ -x "$cli" ] || die "$cli does not exist (build failed?)"
fi

# ---------------------------------------------------------------- data set
mkdir -p "$data" "$results"
if [ ! -s "$data/stats.tsv" ]; then
    [ -r /usr/share/dict/american-english-huge ] ||
        die "the generator needs /usr/share/dict/american-english-huge (package wamerican-huge)"
    log "making the standard data set in $data (once; several minutes)"
    python3 "$bench/gen_wordlist.py" all --outdir "$data"
fi
if [ ! -s "$data/list_1M_sorted.txt" ]; then
    log "making list_1M_sorted.txt"
    python3 "$bench/gen_wordlist.py" sorted --from "$data/list_1M.txt" -o "$data/list_1M_sorted.txt.part"
    mv "$data/list_1M_sorted.txt.part" "$data/list_1M_sorted.txt"
fi
if [ "$big" = 1 ]; then
    if [ ! -s "$data/list_100M.txt" ]; then
        log "making list_100M.txt (ten suffixed copies of list_10M.txt)"
        python3 "$bench/gen_wordlist.py" suffixed --from "$data/list_10M.txt" --copies 10 \
            -o "$data/list_100M.txt.part"
        mv "$data/list_100M.txt.part" "$data/list_100M.txt"
    fi
    if [ ! -s "$data/list_100M_sorted.txt" ]; then
        log "making list_100M_sorted.txt"
        LC_ALL=C sort -T "$data" "$data/list_100M.txt" -o "$data/list_100M_sorted.txt.part"
        mv "$data/list_100M_sorted.txt.part" "$data/list_100M_sorted.txt"
    fi
fi

case $size in
    1M)   list=list_1M.txt   twin=list_1M_sorted.txt   ref=ref_200k.txt ;;
    10M)  list=list_10M.txt  twin=list_10M_sorted.txt  ref=ref_2M.txt ;;
    100M) list=list_100M.txt twin=list_100M_sorted.txt ref=ref_2M.txt ;;
esac
# the single line, without its line end
single=$(tr -d '\r\n' < "$data/single_line.txt")

# ---------------------------------------------------------------- jobs
# key|tool|job|lists|command; lists: both = the list and its sorted twin,
# list = the list only. Commands see $LIST (a fresh copy), $OUT, $REF, $LINE.
jobs=()
if [ "$only" != peers ]; then
    jobs+=(
        "file|ours|file order|both|lintrim-cli -q \"\$LIST\""
        "alpha|ours|alphabetical|both|lintrim-cli -q -a \"\$LIST\""
        "freq|ours|by frequency|both|lintrim-cli -q -f \"\$LIST\""
        "ref|ours|reference|both|lintrim-cli -q -r \"\$REF\" \"\$LIST\""
        "single|ours|single line|both|lintrim-cli -q -d \"\$LINE\" \"\$LIST\""
    )
fi
# the yardstick of every ratio, on both lists whatever --only says
jobs+=("sortu|peer|alphabetical|both|sort -u \"\$LIST\" -o \"\$OUT\"")
if [ "$only" != ours ]; then
    jobs+=("uniqc|peer|by frequency|list|sort \"\$LIST\" | uniq -c | sort -rn > \"\$OUT\"")
    [ "$quick" = 1 ] || jobs+=("awk|peer|file order|list|awk '!seen[\$0]++' \"\$LIST\" > \"\$OUT\"")
    jobs+=("comm|peer|reference|list|comm -23 <(sort -u \"\$LIST\") <(sort -u \"\$REF\") > \"\$OUT\"")
    [ "$quick" = 1 ] || jobs+=("grepf|peer|reference|list|grep -vxFf \"\$REF\" \"\$LIST\" > \"\$OUT\"")
    jobs+=("grep|peer|single line|list|grep -vxF -- \"\$LINE\" \"\$LIST\" > \"\$OUT\"")
fi

# bytes and lines of a file (a last line without a line end counts too)
declare -A fbytes flines
measure() {
    local f=$1 n
    [ -n "${fbytes[$f]:-}" ] && return
    fbytes[$f]=$(stat -c %s "$data/$f")
    n=$(wc -l < "$data/$f")
    [ "${fbytes[$f]}" -gt 0 ] && [ "$(tail -c 1 "$data/$f" | od -An -c | tr -d ' ')" != '\n' ] && n=$((n + 1))
    flines[$f]=$n
}
measure "$list"; measure "$twin"; measure "$ref"

# ---------------------------------------------------------------- timing
work=$(mktemp -d "$data/work.XXXXXX")
trap 'rm -rf "$work"' EXIT
raw=$results/latest.tsv
printf 'run\tkey\ttool\tjob\tcommand\tlist\tref\twall_s\trss_kb\tstatus\tout_lines\tout_bytes\tlist_bytes\tlist_lines\tref_bytes\tref_lines\n' > "$raw"
export PATH="$repo/build/bin:$PATH" LC_ALL=C
failed=0
load_start=$(cut -d' ' -f1-3 /proc/loadavg)

for ((r = 1; r <= runs; r++)); do
    for l in "$list" "$twin"; do
        for j in "${jobs[@]}"; do
            IFS='|' read -r key tool job lists cmd <<< "$j"
            [ "$l" = "$twin" ] && [ "$lists" = list ] && continue
            r_name=- r_bytes=0 r_lines=0
            if [ "$key" = ref ] || [ "$key" = comm ] || [ "$key" = grepf ]; then
                r_name=$ref r_bytes=${fbytes[$ref]} r_lines=${flines[$ref]}
            fi
            copy=$work/$l out=$work/out.txt tf=$work/time.txt
            cp "$data/$l" "$copy"
            rm -f "$out" "$tf"
            sync "$copy"
            set +e
            LIST=$copy OUT=$out REF=$data/$ref LINE=$single \
                /usr/bin/time -f '%e %M' -o "$tf" bash -c "$cmd" </dev/null >"$work/stdout"
            status=$?
            set -e
            # ours rewrites the list itself; peers write OUT
            [ "$tool" = ours ] && result=$copy || result=$out
            ok=$status
            # grep exits 1 when it selects no line at all; here it always selects
            [ "$ok" = 0 ] && [ ! -s "$result" ] && ok=empty
            out_lines=0 out_bytes=0
            if [ -f "$result" ]; then
                out_lines=$(wc -l < "$result"); out_bytes=$(stat -c %s "$result")
            fi
            read -r wall rss < <(tail -n 1 "$tf")
            [ "$ok" = 0 ] || { failed=1; log "FAILED ($ok): $cmd on $l"; }
            if [ "$keep" = 1 ] && [ "$r" = "$runs" ]; then
                mkdir -p "$results/outputs"
                cp "$result" "$results/outputs/$key-$l"
            fi
            rm -f "$copy" "$out"
            summary=$(tail -n 1 "$work/stdout"); summary=${summary##*: }
            log "run $r/$runs  $(printf '%-13s %-4s %-22s' "$job" "$tool" "$l") ${wall} s  $((rss / 1024)) MiB${summary:+  ($summary)}"
            printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' \
                "$r" "$key" "$tool" "$job" "$cmd" "$l" "$r_name" "$wall" "$rss" "$ok" \
                "$out_lines" "$out_bytes" "${fbytes[$l]}" "${flines[$l]}" "$r_bytes" "$r_lines" >> "$raw"
        done
    done
done

# ---------------------------------------------------------------- report
machine="$(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(free -g | awk '/^Mem:/ { print $2 }') GB RAM, $(uname -sr)"
tools="$(sort --version | head -n 1); $(grep --version | head -n 1); awk = $(basename "$(readlink -f "$(command -v awk)")")"
rev=$(git -C "$repo" rev-parse --short HEAD 2>/dev/null || echo unknown)
load="$load_start at the start, $(cut -d' ' -f1-3 /proc/loadavg) at the end"
python3 "$bench/report.py" "$raw" --runs "$runs" --machine "$machine" --tools "$tools" \
    --rev "$rev" --single "$single" --load "$load" \
    --stats "$data/stats.tsv" > "$results/latest.md"
cp "$results/latest.md" "$results/$size.md"
cat "$results/latest.md"
[ "$failed" = 0 ] || { log "some jobs failed, see above"; exit 1; }
