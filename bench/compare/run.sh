#!/usr/bin/env bash
# Compares two builds of parcelo-cli on the same work: split of a file by 100 MB, join of
# a set each build split beforehand, and a compressed split at the fast level, in one
# interleaved run (benchlib.py). Prints the ratios new / old, the median seconds and the
# peak memory of each: for checking that a change costs nothing measurable.
#
#   bash bench/compare/run.sh OLD_CLI NEW_CLI [SIZE_MIB] [ROUNDS]
set -euo pipefail
old=$(realpath "$1")
new=$(realpath "$2")
size_mib=${3:-1024}
rounds=${4:-8}
source "$(dirname "$0")/../lib.sh"
bench_work_folder
bench_need time
# Half random, half text-like, so that the compressed split has work to do.
head -c $((size_mib * 512 * 1024)) /dev/urandom > "$work/big.bin"
(yes "2026-12-06 INFO request /api/items took 12 ms status 200" || true) |
  head -c $((size_mib * 512 * 1024)) >> "$work/big.bin"

python3 - "$old" "$new" "$work" "$rounds" <<'PY'
import os, subprocess, sys
from benchlib import compare, fresh, into, same_file, settle, table

old, new, work, rounds = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
src = os.path.join(work, "big.bin")
out = os.path.join(work, "out")
size = "100MB" if os.path.getsize(src) > 100 * 1000**2 else "10MB"
split = lambda cli, folder, *extra: [cli, "split", src, folder, "--size", size, *extra,
                                     "--yes", "-q"]
for tag, cli in (("old", old), ("new", new)):
    subprocess.run(split(cli, fresh(work, tag)), check=True, stdout=subprocess.DEVNULL)
settle([work])

def jobs(tag, cli):
    return [into(f"{tag} split {size}", split(cli, out), out),
            into(f"{tag} join", [cli, "join", os.path.join(work, tag, "big.bin.002"), out,
                                 "--yes", "-q"], out, same_file(src, "big.bin")),
            into(f"{tag} split fast", split(cli, out, "--compress", "--level", "fast"), out)]
pairs = list(zip(jobs("new", new), jobs("old", old)))
table(pairs, compare(pairs, rounds, work), "new", "old")
PY
