#!/usr/bin/env bash
# Compresses a 256 MiB file of mixed content (text-like lines and random blocks) with the
# compression component at levels 2, 7 and 9 and with zip -2, -7 and -9, then decompresses
# zip's -9 archive with the component and with unzip; prints the time and size ratios
# (component / zip or unzip). Warm page cache, output on the same disk. Build first:
#   cmake --build BUILD_DIR --target compress_bench
#   bash bench/compress/run.sh [BUILD_DIR] [SIZE_MIB]
set -euo pipefail
build=${1:-build}
size_mib=${2:-256}
tool=$(realpath "$build/bin/compress_bench")
source "$(dirname "$0")/../lib.sh"
bench_work_folder
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
cat "$src" > /dev/null

# Seconds taken by a command, to the millisecond.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

ratio() { echo "scale=3; $1 / $2" | bc; }

printf '%-12s %10s %10s %12s %12s %8s %8s\n' "operation" "ours s" "zip s" "ours bytes" \
    "zip bytes" "time" "size"
for level in 2 7 9; do
    rm -f "$work/ours.zip" "$work/zip.zip"
    ours=$(seconds "$tool" compress "$src" "$work/ours.zip" "$level")
    theirs=$(seconds zip -q -j "-$level" "$work/zip.zip" "$src")
    ours_size=$(stat -c %s "$work/ours.zip")
    zip_size=$(stat -c %s "$work/zip.zip")
    printf '%-12s %10.3f %10.3f %12d %12d %8s %8s\n' "compress -$level" "$ours" "$theirs" \
        "$ours_size" "$zip_size" "$(ratio "$ours" "$theirs")" "$(ratio "$ours_size" "$zip_size")"
done

# zip.zip now holds zip's -9 archive.
rm -rf "$work/out" && mkdir "$work/out"
ours=$(seconds "$tool" decompress "$work/zip.zip" "$work/out/ours.bin")
theirs=$(seconds unzip -q -o "$work/zip.zip" -d "$work/out")
cmp -s "$work/out/ours.bin" "$src" || { echo "decompressed file differs" >&2; exit 1; }
printf '%-12s %10.3f %10.3f %12s %12s %8s %8s\n' "decompress" "$ours" "$theirs" "" "" \
    "$(ratio "$ours" "$theirs")" ""
