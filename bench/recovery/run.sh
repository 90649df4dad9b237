#!/usr/bin/env bash
# Recovery pieces against par2 on the same byte set: a 1 GiB file split by parcelo-cli
# into 100 pieces; creating 10 % recovery data (10 recovery pieces, `par2 create -r10`)
# and rebuilding 5 deleted pieces (`par2 repair`), side by side, warm page cache. Prints
# the times, the ratios (par2 / ours) and the peak memory of both. Build first:
#   cmake --build BUILD_DIR --target recovery_bench parcelo-cli
#   bash bench/recovery/run.sh [BUILD_DIR] [SIZE_MIB]
set -euo pipefail
build=${1:-build}
size_mib=${2:-1024}
cli=$(realpath "$build/bin/parcelo-cli")
tool=$(realpath "$build/bin/recovery_bench")
source "$(dirname "$0")/../lib.sh"
bench_work_folder
bench_need par2 time # par2 is the tool compared with

echo "Making a ${size_mib} MiB file and splitting it into 100 pieces in $work ..."
bench_random_file "$work/big.bin" "$size_mib"
mkdir "$work/set"
"$cli" split "$work/big.bin" "$work/set/" --pieces 100 --yes > /dev/null
rm "$work/big.bin"
cat "$work"/set/* > /dev/null # warm the page cache

python3 - "$tool" "$work/set" <<'PY'
import glob, hashlib, os, sys
import benchlib

tool, folder = sys.argv[1], sys.argv[2]
base = os.path.join(folder, "big.bin")
pieces = sorted(glob.glob(base + ".[0-9][0-9][0-9]"))
lost = [pieces[i] for i in (6, 22, 49, 76, 99)]  # the last, shorter piece among them
digest = {p: hashlib.sha256(open(p, "rb").read()).hexdigest() for p in lost}
peak_file = os.path.join(folder, "..", "peak.txt")

run = lambda args: benchlib.run(args, peak_file, cwd=folder)

def lose_and_check(repair):
    for p in lost:
        os.remove(p)
    result = run(repair)
    for p in lost:
        if hashlib.sha256(open(p, "rb").read()).hexdigest() != digest[p]:
            sys.exit(f"{repair[0]} rebuilt {p} wrongly")
    return result

ours_c = run([tool, "create", base, "10"])
par2_c = run(["par2", "create", "-q", "-r10", base + ".par2"] + pieces)
ours_r = lose_and_check([tool, "repair", base])
par2_r = lose_and_check(["par2", "repair", "-q", base + ".par2"])
for p in glob.glob(os.path.join(folder, "*.1")):  # par2 keeps damaged originals as NAME.1
    os.remove(p)

print(f"create 10 %:      ours {ours_c[0]:6.2f} s, par2 {par2_c[0]:6.2f} s, "
      f"par2 / ours {par2_c[0] / ours_c[0]:5.1f}x")
print(f"repair 5 pieces:  ours {ours_r[0]:6.2f} s, par2 {par2_r[0]:6.2f} s, "
      f"par2 / ours {par2_r[0] / ours_r[0]:5.1f}x")
print(f"peak memory:      ours create {ours_c[1]:.0f} MiB, repair {ours_r[1]:.0f} MiB; "
      f"par2 create {par2_c[1]:.0f} MiB, repair {par2_r[1]:.0f} MiB")
PY
