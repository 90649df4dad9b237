#!/usr/bin/env bash
# Compares two builds of parcelo-cli on the same work: split of a file by 100 MB, its join,
# and a compressed split at the fast level, run in turns (after a sync each) so that both
# see the same machine. Prints the median and best time of each, the ratio new / old, and
# the peak memory of each. For checking that a change costs nothing measurable.
#
#   bash bench/compare/run.sh OLD_CLI NEW_CLI [SIZE_MIB] [ROUNDS]
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
size_mib=${3:-1024}
rounds=${4:-7}
source "$(dirname "$0")/../lib.sh"
bench_work_folder
bench_need time
# Half random, half text-like, so that the compressed split has work to do.
head -c $((size_mib * 512 * 1024)) /dev/urandom > "$work/big.bin"
(yes "2026-12-06 INFO request /api/items took 12 ms status 200" || true) | head -c $((size_mib * 512 * 1024)) >> "$work/big.bin"
cat "$work/big.bin" > /dev/null

python3 - "$old" "$new" "$work" "$rounds" <<'PY'
import os, statistics, sys
from benchlib import fresh as fresh_in, run as timed

old, new, work, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
src = os.path.join(work, "big.bin")
peak_file = os.path.join(work, "peak.txt")

fresh = lambda name: fresh_in(work, name)
run = lambda args: timed(args, peak_file)

# The join reads the pieces the last split of the same build left.
jobs = {
    "split 100MB": lambda cli, tag: [cli, "split", src, fresh("s" + tag), "--size", "100MB", "--yes"],
    "join": lambda cli, tag: [cli, "join", os.path.join(work, "s" + tag, "big.bin.002"), fresh("j" + tag), "--yes"],
    "split compressed fast": lambda cli, tag: [cli, "split", src, fresh("c" + tag), "--size", "100MB", "--compress", "--level", "fast", "--yes"],
}
print(f"{'job':24} {'old median':>10} {'new median':>10} {'ratio':>6} {'old best':>9} {'new best':>9} {'old MiB':>8} {'new MiB':>8}")
for name, make in jobs.items():
    times = {"old": [], "new": []}
    peaks = {"old": 0, "new": 0}
    for r in range(rounds):
        order = (("old", old), ("new", new)) if r % 2 == 0 else (("new", new), ("old", old))
        for tag, cli in order:
            seconds, rss = run(make(cli, tag))
            times[tag].append(seconds)
            peaks[tag] = max(peaks[tag], rss)
    mo, mn = statistics.median(times["old"]), statistics.median(times["new"])
    print(f"{name:24} {mo:10.3f} {mn:10.3f} {mn / mo:6.3f} {min(times['old']):9.3f} {min(times['new']):9.3f} "
          f"{peaks['old']:8.1f} {peaks['new']:8.1f}")
PY
