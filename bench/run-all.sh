#!/usr/bin/env bash
# Measures parcelo-cli against the usual command-line tools in one interleaved run and
# prints one table of ratios (ours / peer time), the output sizes and the peak memory:
#   - split by 10 MB and 100 MB against `split -b`, and with checksums against `split -b`
#     then `openssl dgst -sha256` of the pieces;
#   - join against `cat`, and with checksums against `openssl dgst -sha256` of the pieces
#     checked against their list, then `cat`;
#   - compression of a mixed file (half text, half random) at best and fast against
#     `zip -9`, `zip -2`, `pigz -9 -K` and `pigz -2 -K`, decompression against `unzip`.
# Every input is settled (written back, dropped from the cache, read once) before the runs;
# benchlib.py times the runs and removes each output after its run.
#
#   bash bench/run-all.sh [BUILD_DIR] [SPLIT_MIB] [COMPRESS_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
split_mib=${2:-1024}
compress_mib=${3:-256}
rounds=${4:-6}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/lib.sh"
bench_work_folder
bench_need time zip unzip pigz openssl

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

python3 - "$cli" "$work" "$rounds" <<'PY'
import os, subprocess, sys
from benchlib import compare, fresh, into, same_file, settle, sh, table

cli, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
big, mixed = os.path.join(work, "big.bin"), os.path.join(work, "mixed.bin")
out = os.path.join(work, "out")  # every timed run writes here; removed after the run
ours = lambda *args: [cli, *args, "--yes", "--quiet", "--no-sync"]
bare = ["--no-checksums", "--no-join-script"]
split_b = 'split -b "$1" -a 3 -d "$2" "$3/big.bin."'
# Piece sizes smaller than the file (a small trial run has no 100 MB pieces).
piece_mb = [mb for mb in (10, 100) if mb * 1000**2 < os.path.getsize(big)]
sums = lambda folder: f'openssl dgst -sha256 -r "{folder}"/big.bin.[0-9]*'

# The inputs of the joins and the decompressions, made once and settled.
print("Making the sets to join ...", file=sys.stderr)
make = lambda args: subprocess.run(args, check=True, stdout=subprocess.DEVNULL)
for mb in piece_mb:
    make(ours("split", big, fresh(work, f"s{mb}"), "--size", f"{mb}MB", *bare))
    make(ours("split", big, fresh(work, f"s{mb}c"), "--size", f"{mb}MB", "--no-join-script"))
    make(sh(f'{split_b} && {sums("$3")} > "$3.sha256"', f"{mb}M", big, fresh(work, f"core{mb}")))
make(ours("compress", mixed, fresh(work, "cbest"), "--level", "best"))
make(["zip", "-q", "-j", "-9", os.path.join(fresh(work, "zip9"), "m.zip"), mixed])
settle([work])

joined = same_file(big, "big.bin")
pairs = []
for mb in piece_mb:
    core = os.path.join(work, f"core{mb}")
    split = ["split", big, out, "--size", f"{mb}MB"]
    pairs += [
        (into(f"split {mb}MB", ours(*split, *bare), out),
         into(f"split -b {mb}M", sh(split_b, f"{mb}M", big, out), out)),
        (into(f"split {mb}MB +sums", ours(*split, "--no-join-script"), out),
         into(f"split -b {mb}M + openssl",
              sh(f'{split_b} && {sums("$3")} > "$3/big.bin.sha256"', f"{mb}M", big, out), out)),
        (into(f"join {mb}MB", ours("join", os.path.join(work, f"s{mb}", "big.bin.001"), out),
              out, joined),
         into(f"cat {mb}M", sh('cat "$1"/big.bin.[0-9]* > "$2/big.bin"', core, out), out)),
        (into(f"join {mb}MB +sums", ours("join", os.path.join(work, f"s{mb}c", "big.bin.001"),
                                         out), out, joined),
         into(f"openssl + cat {mb}M", sh(f'{sums("$1")} | cmp -s - "$1.sha256" && '
                                         'cat "$1"/big.bin.[0-9]* > "$2/big.bin"', core, out),
              out)),
    ]
for level, z in (("best", 9), ("fast", 2)):
    compress = into(f"compress {level}", ours("compress", mixed, out, "--level", level), out,
                    sized="*.zip.[0-9]*")
    pairs += [(compress, into(f"zip -{z}", ["zip", "-q", "-j", f"-{z}", out + "/m.zip", mixed],
                              out)),
              (compress, into(f"pigz -{z} -K", ["pigz", "-c", f"-{z}", "-K", mixed], out,
                              stdout="m.zip"))]
cbest = os.path.join(work, "cbest", "mixed.bin.zip.001")
pairs.append((into("decompress best", ours("join", cbest, out), out, same_file(mixed, "mixed.bin")),
              into("unzip -9", ["unzip", "-q", os.path.join(work, "zip9", "m.zip"), "-d", out],
                   out)))
table(pairs, compare(pairs, rounds, work))
PY
