#!/usr/bin/env bash
# The cost of flushing to disk before reporting done: a split of a 300 MB random file
# into 5 MB and 1.38 MB pieces by parcelo-cli, with the flush (the default) against
# `split -b && sync`, and with --no-sync against `split -b`, in interleaved rounds. The
# checksum file and join scripts are left out: `split` writes neither. Prints the median
# and best times and the ratios of the medians (ours / peer).
#
#   bash bench/sync/run.sh [BUILD_DIR] [SIZE_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
size_mib=${2:-300}
rounds=${3:-5}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/../lib.sh"
bench_work_folder

echo "Making a ${size_mib} MiB file in $work ..."
bench_random_file "$work/big.bin" "$size_mib"

python3 - "$cli" "$work" "$rounds" <<'PY'
import os, statistics, subprocess, sys, time
import benchlib

cli, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
src = os.path.join(work, "big.bin")
q = lambda p: "'" + p + "'"

def timed(shell_command):
    os.sync()  # nobody pays for another's writeback
    start = time.perf_counter()
    subprocess.run(["sh", "-c", shell_command], check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start

def ours(size, extra=""):
    return lambda: (f"{q(cli)} split {q(src)} {q(benchlib.fresh(work, 'out'))} --size {size}"
                    f" --no-checksums --no-join-script --yes {extra}")

def peer(size, then=""):
    return lambda: f"split -b {size} {q(src)} {q(benchlib.fresh(work, 'out'))}/big.bin. {then}"

# the 1.38 MB preset is 1.38 MiB, rounded to whole bytes
for label, ours_size, peer_size in (("5 MB", "5MB", 5242880), ("1.38 MB", "1447035", 1447035)):
    commands = {
        "flush": ours(ours_size),
        "split && sync": peer(peer_size, "&& sync"),
        "no sync": ours(ours_size, "--no-sync"),
        "split": peer(peer_size),
    }
    times = {name: [] for name in commands}
    for _ in range(rounds):
        for name, make in commands.items():
            times[name].append(timed(make()))
    median = {name: statistics.median(t) for name, t in times.items()}
    print(f"{label} pieces:")
    for name, t in times.items():
        print(f"  {name:14} median {median[name]:.2f} s, best {min(t):.2f} s")
    print(f"  ratio flush / split && sync: {median['flush'] / median['split && sync']:.2f}; "
          f"no sync / split: {median['no sync'] / median['split']:.2f}")
PY
