#!/usr/bin/env python3
"""Turns the raw timings of bench/run.sh into a markdown table (stdlib only).

Input: the TSV that run.sh writes, one row per timed command and run.
Output (stdout): medians per command and list, the ratio of each to
`sort -u` on the same list in the same run, the sorted-twin ratio of our
jobs, the memory bound with pass/fail and the speed targets.
"""
import argparse
import csv
import re
import statistics
import sys

# ratio to `sort -u` on the same list that each of our jobs aims at; the
# single line aims at a share of `grep -vxF` on the same list, when it ran
TARGETS = {"file": 0.15, "alpha": 0.25, "freq": 0.20, "ref": 0.20,
           "single": 0.15}
SINGLE_VS_GREP = 0.8
TWIN_TARGET = 1.2          # sorted twin / list, for each of our jobs
BYTES_PER_LINE = 16        # memory bound: bytes loaded + 16 bytes per line

JOB_ORDER = ["file order", "alphabetical", "by frequency", "reference",
             "single line"]
KEY_ORDER = ["file", "alpha", "freq", "ref", "single",
             "awk", "sortu", "uniqc", "comm", "grepf", "grep"]


def mb(n):
    return "%.0f" % (n / 1e6) if n >= 10e6 else "%.1f" % (n / 1e6)


def secs(x):
    return "%.2f" % x


def expected_counts(path):
    """Distinct non-empty lines per list, and distinct input lines that
    survive a reference list, as the generator's stats.tsv states them."""
    expect = {}
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except OSError:
        return expect
    head = lines[0].split("\t") if lines else []
    for line in lines[1:]:
        cols = line.split("\t")
        if len(cols) == len(head) and "distinct_norm" in head:
            row = dict(zip(head, cols))
            expect[("distinct", row["file"])] = int(row["distinct_norm"])
        m = re.match(r"(\S+) vs (\S+):.*; (\d+) distinct input lines survive",
                     line)
        if m:
            expect[("survive", m.group(2), m.group(1))] = int(m.group(3))
    return expect


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("raw")
    ap.add_argument("--runs", type=int, default=0)
    ap.add_argument("--machine", default="")
    ap.add_argument("--tools", default="")
    ap.add_argument("--rev", default="")
    ap.add_argument("--single", default="")
    ap.add_argument("--load", default="")
    ap.add_argument("--stats", help="stats.tsv of the generator: the "
                    "distinct lines each list should keep")
    a = ap.parse_args()

    with open(a.raw, newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t"))
    if not rows:
        sys.exit("report: no timings in %s" % a.raw)

    groups = {}
    for r in rows:
        groups.setdefault((r["key"], r["list"]), []).append(r)

    lists = []                                   # the list first, then its twin
    for r in rows:
        if r["list"] not in lists:
            lists.append(r["list"])
    main_list = lists[0]

    res = {}
    for (key, lst), rs in groups.items():
        last = rs[-1]
        res[(key, lst)] = {
            "key": key, "tool": last["tool"], "job": last["job"],
            "command": last["command"], "list": lst, "ref": last["ref"],
            "wall": statistics.median(float(x["wall_s"]) for x in rs),
            "rss": statistics.median(int(x["rss_kb"]) for x in rs) * 1024,
            "ok": all(x["status"] == "0" for x in rs),
            "status": ",".join(sorted({x["status"] for x in rs})),
            "out_lines": int(last["out_lines"]),
            "n": len(rs),
            "bound": int(last["list_bytes"]) + int(last["ref_bytes"])
            + BYTES_PER_LINE * (int(last["list_lines"]) + int(last["ref_lines"])),
        }

    out = sys.stdout.write
    out("# Benchmark: lintrim-cli and the standard tools\n\n")
    if a.machine:
        out("Machine: %s.  \n" % a.machine)
    if a.tools:
        out("Peers: %s.  \n" % a.tools)
    if a.rev:
        out("Commit: %s.  \n" % a.rev)
    if a.load:
        out("Load average (1, 5, 15 min): %s; other work on the machine "
            "skews the figures.  \n" % a.load)
    out("Medians of %d run(s); each command on its own fresh copy of the list "
        "(copying not timed); every command runs with `LC_ALL=C`. "
        "Wall time and peak resident memory from `/usr/bin/time -f '%%e %%M'` "
        "(for a pipeline: its largest process). MB = 10^6 bytes.  \n"
        % a.runs)
    out("`$LIST` is the list, `$REF` the reference list, `$LINE` = `%s`.\n\n"
        % a.single)

    sizes = {}
    for r in rows:
        sizes[r["list"]] = (int(r["list_bytes"]), int(r["list_lines"]))
        if r["ref"] != "-":
            sizes[r["ref"]] = (int(r["ref_bytes"]), int(r["ref_lines"]))
    out("| file | MB | lines |\n|---|---:|---:|\n")
    for name, (b, n) in sizes.items():
        out("| %s | %s | %s |\n" % (name, mb(b), format(n, ",")))
    out("\n")

    out("| job | tool | command | list | wall s | peak MB | ratio to sort -u "
        "| target | sorted/unsorted | memory bound MB | within bound "
        "| out lines |\n")
    out("|---|---|---|---|---:|---:|---:|---|---:|---:|---|---:|\n")
    order = sorted(res.values(), key=lambda x: (
        JOB_ORDER.index(x["job"]) if x["job"] in JOB_ORDER else 99,
        KEY_ORDER.index(x["key"]) if x["key"] in KEY_ORDER else 99,
        lists.index(x["list"])))
    misses = []
    for x in order:
        base = res.get(("sortu", x["list"]))
        ratio = ""
        if base and base["wall"] > 0:
            ratio = "%.2f" % (x["wall"] / base["wall"])
        target = ""
        twin = ""
        bound = within = ""
        if x["tool"] == "ours":
            bound = mb(x["bound"])
            within = "pass" if x["rss"] <= x["bound"] else "FAIL"
            if within == "FAIL":
                misses.append("%s on %s: peak memory over the bound"
                              % (x["job"], x["list"]))
            t = TARGETS.get(x["key"])
            grep = res.get(("grep", x["list"]))
            if x["key"] == "single" and grep and base and base["wall"] > 0:
                t = SINGLE_VS_GREP * grep["wall"] / base["wall"]
            if t is not None and x["list"] == main_list and ratio:
                met = float(ratio) <= t
                target = "≤%.2f %s" % (t, "met" if met else "MISSED")
                if not met:
                    misses.append("%s: ratio %s over %.2f" % (x["job"], ratio, t))
            if x["list"] != main_list:
                m = res.get((x["key"], main_list))
                if m and m["wall"] > 0:
                    q = x["wall"] / m["wall"]
                    met = q <= TWIN_TARGET
                    twin = "%.2f (≤%.1f %s)" % (q, TWIN_TARGET,
                                                "met" if met else "MISSED")
                    if not met:
                        misses.append("%s: sorted twin %.2f times the list"
                                      % (x["job"], q))
        cmd = x["command"].replace("|", "\\|")
        wall = secs(x["wall"]) if x["ok"] else "%s (exit %s)" % (
            secs(x["wall"]), x["status"])
        out("| %s | %s | `%s` | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n" % (
            x["job"], x["tool"], cmd, x["list"], wall, mb(x["rss"]), ratio,
            target, twin, bound, within, format(x["out_lines"], ",")))
    out("\n")

    # our three orderings keep the same lines, and a list and its sorted twin
    # hold the same lines, so each of our jobs writes as many lines on both
    notes = []
    ours = {k: v for k, v in res.items() if v["tool"] == "ours"}
    dedupe = {(k, l): v["out_lines"] for (k, l), v in ours.items()
              if k in ("file", "alpha", "freq")}
    if len(set(dedupe.values())) > 1:
        notes.append("the dedupe jobs wrote different line counts: %s" % ", ".join(
            "%s/%s %d" % (k, l, n) for (k, l), n in sorted(dedupe.items())))
    for key in ("ref", "single"):
        counts = {l: v["out_lines"] for (k, l), v in ours.items() if k == key}
        if len(set(counts.values())) > 1:
            notes.append("the %s job wrote different line counts on the list "
                         "and its twin: %s" % (key, counts))
    if a.stats:
        expect = expected_counts(a.stats)
        for (k, l), v in sorted(ours.items()):
            want = None
            if k in ("file", "alpha", "freq"):
                want = expect.get(("distinct", main_list))
            elif k == "ref":
                want = expect.get(("survive", main_list, v["ref"]))
            if want is not None and v["out_lines"] != want:
                notes.append("%s on %s wrote %d lines, the generator counts %d"
                             % (k, l, v["out_lines"], want))
    failed = [x for x in res.values() if not x["ok"]]
    for x in failed:
        notes.append("`%s` on %s failed (status %s)"
                     % (x["command"], x["list"], x["status"]))
    if misses:
        out("Targets not met:\n\n")
        for m in misses:
            out("- %s\n" % m)
        out("\n")
    elif ours:
        out("All targets met.\n\n")
    if notes:
        out("Checks that failed:\n\n")
        for n in notes:
            out("- %s\n" % n)
        out("\n")
    elif ours:
        out("Output checks passed (line counts agree between our modes, "
            "between the list and its twin, and with the generator's "
            "statistics where it has them).\n")


if __name__ == "__main__":
    main()
