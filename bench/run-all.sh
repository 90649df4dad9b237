#!/usr/bin/env bash
# Measures parcelo-cli against the usual command-line tools and prints one table of
# ratios (ours / peer time, minimum and median of interleaved runs), the output sizes
# and the peak memory of each command:
#   - split (10 MB and 100 MB pieces) against `split -b`, join against `cat`, with the
#     piece checksums off and on when parcelo-cli has the --no-checksums switch;
#   - compression of a mixed file (half text, half random) at best and fast against
#     `zip -9`, `zip -2`, `pigz -9 -K` and `pigz -2 -K`, decompression against `unzip`.
# Warm page cache, every output on the same disk, a sync before each run.
#
#   bash bench/run-all.sh [BUILD_DIR] [SPLIT_MIB] [COMPRESS_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
split_mib=${2:-1024}
compress_mib=${3:-256}
rounds=${4:-5}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/lib.sh"
bench_work_folder
for tool in /usr/bin/time zip unzip pigz; do
  command -v "$tool" > /dev/null || { echo "missing $tool (see bench/README.md)" >&2; exit 1; }
done

echo "Making the test files in $work ..." >&2
bench_random_file "$work/big.bin" "$split_mib"
# Half log-like text lines, half random bytes, in 1 MiB runs.
python3 - "$work/mixed.bin" "$compress_mib" <<'PY'
import os, random, sys
path, mib = sys.argv[1], int(sys.argv[2])
rng = random.Random(1)
with open(path, "wb") as out:
    for block in range(mib):
        if block % 2:
            out.write(os.urandom(1 << 20))
            continue
        text = bytearray()
        while len(text) < (1 << 20):
            text += (f"{block:06d} INFO worker-{rng.randrange(16):02d} request /api/items/"
                     f"{rng.randrange(100000)} took {rng.randrange(900)} ms status "
                     f"{200 if rng.random() < 0.9 else 404}\n").encode()
        out.write(bytes(text[: 1 << 20]))
PY
cat "$work/mixed.bin" > /dev/null

python3 - "$cli" "$work" "$rounds" <<'PY'
import os, statistics, subprocess, sys
import benchlib

cli, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
big = os.path.join(work, "big.bin")
mixed = os.path.join(work, "mixed.bin")
peak_file = os.path.join(work, "peak.txt")
has_checksum_switch = "--no-checksums" in subprocess.run(
    [cli, "--help"], capture_output=True, text=True).stdout

fresh = lambda name: benchlib.fresh(work, name)
run = lambda args, stdout=None: benchlib.run(args, peak_file, stdout)

def size_of(path):
    if os.path.isdir(path):
        return sum(os.path.getsize(os.path.join(path, f)) for f in os.listdir(path))
    return os.path.getsize(path)

# Each job: name -> (function making (args, stdout file or None), output path for size).
jobs = {}
def job(name, make, output=None):
    jobs[name] = (make, output)

def checksums(on):
    return [] if on or not has_checksum_switch else ["--no-checksums"]

modes = [False, True] if has_checksum_switch else [False]
for mb in (10, 100):
    job(f"split -b {mb}M", lambda mb=mb: (["split", "-b", f"{mb}M", "-a", "3", "-d", big,
                                          os.path.join(fresh(f"core{mb}"), "big.bin.")], None))
    job(f"cat {mb}M", lambda mb=mb: (["cat"] + sorted(
        os.path.join(work, f"core{mb}", p) for p in os.listdir(os.path.join(work, f"core{mb}"))),
        os.path.join(fresh(f"cat{mb}"), "big.bin")))
    for on in modes:
        tag = f"{mb}{'c' if on else ''}"
        job(f"split {mb}MB{' +sums' if on else ''}", lambda mb=mb, on=on, tag=tag: (
            [cli, "split", big, fresh("s" + tag), "--size", f"{mb}MB", "--yes"] + checksums(on), None))
        job(f"join {mb}MB{' +sums' if on else ''}", lambda on=on, tag=tag: (
            [cli, "join", os.path.join(work, "s" + tag, "big.bin.001"), fresh("j" + tag), "--yes"],
            None))  # a set split without checksums has none for the join to check

for level, zl in (("best", 9), ("fast", 2)):
    job(f"compress {level}", lambda level=level: (
        [cli, "compress", mixed, fresh("c" + level), "--level", level, "--yes"], None), os.path.join(work, "c" + level))
    job(f"zip -{zl}", lambda zl=zl: (["zip", "-q", "-j", f"-{zl}", fresh(f"zip{zl}") + "/m.zip",
                                      mixed], None), os.path.join(work, f"zip{zl}"))
    job(f"pigz -{zl} -K", lambda zl=zl: (["pigz", "-c", f"-{zl}", "-K", mixed],
                                         os.path.join(fresh(f"pigz{zl}"), "m.zip")),
        os.path.join(work, f"pigz{zl}"))
job("decompress", lambda: ([cli, "join", os.path.join(work, "cbest", sorted(
    os.listdir(os.path.join(work, "cbest")))[0]), fresh("d"), "--yes"], None))
job("unzip", lambda: (["unzip", "-q", "-o", os.path.join(work, "zip9", "m.zip"), "-d", fresh("u")],
                      None))

times = {name: [] for name in jobs}
peaks = {name: 0.0 for name in jobs}
for r in range(rounds):
    print(f"round {r + 1} of {rounds} ...", file=sys.stderr)
    for name, (make, _) in jobs.items():
        args, stdout = make()
        seconds, peak = run(args, stdout)
        times[name].append(seconds)
        peaks[name] = max(peaks[name], peak)

if subprocess.run(["cmp", "-s", big, os.path.join(work, "j100", "big.bin")]).returncode:
    sys.exit("the joined file differs from the source")
if subprocess.run(["cmp", "-s", mixed, os.path.join(work, "d", "mixed.bin")]).returncode:
    sys.exit("the decompressed file differs from the source")

rows = []
for mb in (10, 100):
    for on in modes:
        s = " +sums" if on else ""
        rows.append((f"split {mb}MB{s}", f"split -b {mb}M"))
        rows.append((f"join {mb}MB{s}", f"cat {mb}M"))
for level, zl in (("best", 9), ("fast", 2)):
    rows.append((f"compress {level}", f"zip -{zl}"))
    rows.append((f"compress {level}", f"pigz -{zl} -K"))
rows.append(("decompress", "unzip"))

print(f"{'ours':<18}{'peer':<14}{'min':>6}{'median':>8}{'ours s':>8}{'peer s':>8}"
      f"{'size':>8}{'ours MiB':>10}{'peer MiB':>10}")
for ours, peer in rows:
    lo = min(times[ours]) / min(times[peer])
    mid = statistics.median(times[ours]) / statistics.median(times[peer])
    size = ""
    if jobs[ours][1] and jobs[peer][1]:
        size = f"{size_of(jobs[ours][1]) / size_of(jobs[peer][1]):.4f}"
    print(f"{ours:<18}{peer:<14}{lo:>6.2f}{mid:>8.2f}{statistics.median(times[ours]):>8.2f}"
          f"{statistics.median(times[peer]):>8.2f}{size:>8}{peaks[ours]:>10.1f}{peaks[peer]:>10.1f}")
if not has_checksum_switch:
    print("(parcelo-cli has no --no-checksums switch: the rows are without checksums)")
PY
