#!/usr/bin/env bash
# Compresses a 256 MiB file of mixed content (text-like lines and random blocks) with the
# compression component at levels 2, 7 and 9 and with zip -2, -7 and -9, and decompresses
# zip's -9 archive with the component and with unzip, in one interleaved run
# (benchlib.py); prints the time and size ratios (component / zip or unzip). Build first:
#   cmake --build BUILD_DIR --target compress_bench
#   bash bench/compress/run.sh [BUILD_DIR] [SIZE_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
size_mib=${2:-256}
rounds=${3:-4}
tool=$(realpath "$build/bin/compress_bench")
source "$(dirname "$0")/../lib.sh"
bench_work_folder
bench_need time zip unzip
src="$work/mixed.bin"

echo "Making a ${size_mib} MiB mixed file in $work ..."
# Every 4 MiB: 3 MiB of log-like text lines, then 1 MiB of random bytes.
for ((block = 0; block < size_mib / 4; block++)); do
    awk -v seed="$block" -v size=$((3 * 1048576)) 'BEGIN {
        srand(seed)
        while (n < size) {
            line = sprintf("%06d INFO worker-%02d request /api/items/%d took %d ms status %d\n",
                           NR++, int(rand() * 16), int(rand() * 100000), int(rand() * 900),
                           rand() < 0.9 ? 200 : 404)
            if (n + length(line) > size)
                line = substr(line, 1, size - n)
            printf "%s", line
            n += length(line)
        }
    }'
    head -c 1048576 /dev/urandom
done > "$src"

python3 - "$tool" "$work" "$rounds" <<'PY'
import os, subprocess, sys
from benchlib import compare, into, same_file, settle, table

tool, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
src, zip9 = os.path.join(work, "mixed.bin"), os.path.join(work, "zip9.zip")
out = os.path.join(work, "out")
subprocess.run(["zip", "-q", "-j", "-9", zip9, src], check=True)
settle([src, zip9])
pairs = [(into(f"compress -{level}", [tool, "compress", src, out + "/ours.zip", str(level)], out),
          into(f"zip -{level}", ["zip", "-q", "-j", f"-{level}", out + "/zip.zip", src], out))
         for level in (2, 7, 9)]
pairs.append((into("decompress -9", [tool, "decompress", zip9, out + "/ours.bin"], out,
                   same_file(src, "ours.bin")),
              into("unzip -9", ["unzip", "-q", zip9, "-d", out], out)))
table(pairs, compare(pairs, rounds, work))
PY
