#!/usr/bin/env bash
# The cost of encryption: a compressed split of a half-text, half-random file by 10 MB with
# parcelo-cli, with a password (--password-file) against the same split without one, at
# the fast and the best level, and the join (decompression) of each set, in interleaved
# rounds. Prints the median and best times and the ratios of the medians (encrypted /
# plain), and the size of each set.
#
#   bash bench/encryption/run.sh [BUILD_DIR] [SIZE_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
size_mib=${2:-256}
rounds=${3:-5}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/../lib.sh"
bench_work_folder

echo "Making a ${size_mib} MiB file in $work ..."
bench_random_file "$work/random.bin" $((size_mib / 2))
python3 - "$work/mixed.bin" "$size_mib" <<'PY'
import sys
path, mib = sys.argv[1], int(sys.argv[2])
with open(path, "wb") as out:
    text, line = bytearray(), 0
    while len(text) < mib * 1024 * 1024 // 2:
        text += b"line %d of %d in a log of some length\n" % (line, line * 7919 % 104729)
        line += 1
    out.write(text[: mib * 1024 * 1024 // 2])
PY
cat "$work/random.bin" >>"$work/mixed.bin"
rm "$work/random.bin"
printf 'a passphrase of four words\n' >"$work/password.txt"

python3 - "$cli" "$work" "$rounds" <<'PY'
import os, statistics, subprocess, sys, time
import benchlib

cli, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
src = os.path.join(work, "mixed.bin")
password = "--password-file=" + os.path.join(work, "password.txt")
q = lambda p: "'" + p + "'"

def timed(shell_command):
    os.sync()
    start = time.perf_counter()
    subprocess.run(["sh", "-c", shell_command], check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start

def split(level, name, extra):
    out = benchlib.fresh(work, "pieces-" + name)
    return (f"{q(cli)} split {q(src)} {q(out)} --size 10MB --level {level} --compress"
            f" --no-sync --yes {extra}"), out

def join(pieces, extra):
    out = benchlib.fresh(work, "joined")
    return f"{q(cli)} join {q(pieces + '/mixed.bin.zip.001')} {q(out)} --no-sync --yes {extra}"

for level in ("fast", "best"):
    times = {name: [] for name in ("plain split", "encrypted split", "plain join",
                                   "encrypted join")}
    sizes = {}
    for _ in range(rounds):
        for name, extra in (("plain", ""), ("encrypted", password)):
            command, pieces = split(level, name, extra)
            times[name + " split"].append(timed(command))
            sizes[name] = sum(os.path.getsize(os.path.join(pieces, f))
                              for f in os.listdir(pieces) if ".zip.0" in f)
            times[name + " join"].append(timed(join(pieces, extra)))
    median = {name: statistics.median(t) for name, t in times.items()}
    print(f"level {level}:")
    for name, t in times.items():
        print(f"  {name:16} median {median[name]:.2f} s, best {min(t):.2f} s")
    print(f"  ratio encrypted / plain: split {median['encrypted split'] / median['plain split']:.2f},"
          f" join {median['encrypted join'] / median['plain join']:.2f};"
          f" size {sizes['encrypted'] / sizes['plain']:.5f}"
          f" ({sizes['plain']} and {sizes['encrypted']} bytes)")
PY
