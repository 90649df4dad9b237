#!/usr/bin/env bash
# Split by 100 MB and join a 1 GiB file with parcelo-cli and with coreutils (split -b,
# cat), side by side, warm page cache, output on the same disk; prints time ratios and
# the peak memory of parcelo-cli's split and join.
#
#   bash bench/split_join/run.sh [BUILD_DIR] [SIZE_MIB]
set -euo pipefail
build=${1:-build}
size_mib=${2:-1024}
cli=$(realpath "$build/bin/parcelo-cli")
work=$(mktemp -d "${TMPDIR:-/var/tmp}/parcelo-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ ! -x /usr/bin/time ]; then # GNU time measures the peak memory
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
fi

echo "Making a ${size_mib} MiB file in $work ..."
head -c $((size_mib * 1024 * 1024)) /dev/urandom > "$work/big.bin"
cat "$work/big.bin" > /dev/null # warm the page cache

python3 - "$cli" "$work" <<'PY'
import os, shutil, subprocess, sys, time

cli, work = sys.argv[1], sys.argv[2]
src = os.path.join(work, "big.bin")

def fresh(name):
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path

PEAK = os.path.join(work, "peak.txt")

def run(args, **kw):
    """Runs a command under GNU time; returns (seconds, peak resident KiB of it)."""
    kw.setdefault("stdout", subprocess.DEVNULL)
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", PEAK] + args, **kw)
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit(f"{args[0]} failed with status {done.returncode}")
    return seconds, int(open(PEAK).read().split()[-1])

def race(ours, theirs, rounds=5):
    """Runs both commands in turns, each after a sync so that neither pays for the
    other's writeback; returns the best time of each and our peak memory."""
    ours_times, their_times, peak = [], [], 0
    for _ in range(rounds):
        for make_args, times in ((ours, ours_times), (theirs, their_times)):
            args, kw = make_args()
            os.sync()
            seconds, rss = run(args, **kw)
            times.append(seconds)
            if times is ours_times:
                peak = max(peak, rss)
    return min(ours_times), min(their_times), peak

def ours_split():
    return [cli, "split", src, fresh("ours"), "--size", "100MB", "--yes"], {}
def core_split():
    return ["split", "-b", "100M", "-a", "3", "-d", src, os.path.join(fresh("core"), "big.bin.")], {}

ours_s, core_s, split_peak = race(ours_split, core_split)

ours_piece = os.path.join(work, "ours", "big.bin.002")
core_pieces = sorted(os.listdir(os.path.join(work, "core")))
def ours_join():
    return [cli, "join", ours_piece, fresh("ours_joined"), "--yes"], {}
def core_join():
    out = open(os.path.join(fresh("core_joined"), "big.bin"), "wb")
    return ["cat"] + [os.path.join(work, "core", p) for p in core_pieces], {"stdout": out}

ours_j, core_j, join_peak = race(ours_join, core_join)

same = subprocess.run(["cmp", src, os.path.join(work, "ours_joined", "big.bin")]).returncode == 0
print(f"split by 100 MB: parcelo-cli {ours_s:.2f} s, split -b {core_s:.2f} s, ratio {ours_s / core_s:.2f}")
print(f"join:            parcelo-cli {ours_j:.2f} s, cat      {core_j:.2f} s, ratio {ours_j / core_j:.2f}")
print(f"peak memory of parcelo-cli: split {split_peak / 1024:.1f} MiB, join {join_peak / 1024:.1f} MiB")
print("joined file equals the source:", "yes" if same else "NO")
PY
