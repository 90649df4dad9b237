#!/usr/bin/env bash
# Recovery pieces against par2 on the same pieces: a 1 GiB file split by parcelo-cli into
# 100 pieces; creating 10 recovery pieces and rebuilding 5 deleted pieces (the last, shorter
# one among them), in one interleaved run (benchlib.py), against par2 twice:
#   - the same capability: one block a piece and 10 recovery blocks
#     (`par2 create -s<piece size> -c10`): any 10 lost or damaged pieces can be rebuilt,
#     as with 10 recovery pieces;
#   - par2's defaults (`par2 create`): 5 % redundancy in about 2000 small blocks, which
#     mends damage scattered over many pieces but rebuilds only about 5 % of the bytes:
#     here about 5 whole lost pieces.
# Prints the time and size ratios (ours / par2) and the peak memory of both. Build first:
#   cmake --build BUILD_DIR --target recovery_bench parcelo-cli
#   bash bench/recovery/run.sh [BUILD_DIR] [SIZE_MIB] [ROUNDS]
set -euo pipefail
build=${1:-build}
size_mib=${2:-1024}
rounds=${3:-2}
cli=$(realpath "$build/bin/parcelo-cli")
tool=$(realpath "$build/bin/recovery_bench")
source "$(dirname "$0")/../lib.sh"
bench_work_folder
bench_need par2 time

echo "Making a ${size_mib} MiB file and splitting it into 100 pieces in $work ..."
bench_random_file "$work/big.bin" "$size_mib"
mkdir "$work/set"
"$cli" split "$work/big.bin" "$work/set/" --pieces 100 --no-checksums --no-join-script \
  --yes --quiet > /dev/null
rm "$work/big.bin"

python3 - "$tool" "$work" "$rounds" <<'PY'
import glob, hashlib, os, subprocess, sys
from benchlib import Job, compare, settle, table

tool, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
recovery = 10
pieces = sorted(os.path.basename(p) for p in glob.glob(os.path.join(work, "set", "big.bin.*")))
block = -(-max(os.path.getsize(os.path.join(work, "set", p)) for p in pieces) // 4) * 4
lost = [pieces[i] for i in (6, 22, 49, 76, 99)]
digest = lambda path: hashlib.sha256(open(path, "rb").read()).hexdigest()
expected = {p: digest(os.path.join(work, "set", p)) for p in lost}
ours = lambda command, *args: [tool, command, "big.bin", *args]
par2 = {"par2 -s -c": ["-q", f"-s{block}", f"-c{recovery}", "big.bin.par2"],
        "par2 defaults": ["-q", "big.bin.par2"]}

def folder_of(name):
    """A folder holding the pieces (as hard links) for name's runs."""
    folder = os.path.join(work, name.replace(" ", "_"))
    os.mkdir(folder)
    for p in pieces:
        os.link(os.path.join(work, "set", p), os.path.join(folder, p))
    return folder

def creating(name, args):
    """Creates recovery data beside the pieces; after the run it is measured and removed."""
    folder = folder_of(name)
    def after():
        made = [os.path.join(folder, f) for f in set(os.listdir(folder)) - set(pieces)]
        size = sum(os.path.getsize(f) for f in made)
        for f in made:
            os.remove(f)
        return size
    return Job(name, args, after=after, cwd=folder)

def repairing(name, create, args):
    """Rebuilds the lost pieces from recovery data made once; checks the rebuilt bytes."""
    folder = folder_of(name)
    subprocess.run(create, cwd=folder, check=True, stdout=subprocess.DEVNULL)
    def before():
        for p in lost:
            os.remove(os.path.join(folder, p))
    def after():
        for p in lost:
            if digest(os.path.join(folder, p)) != expected[p]:
                sys.exit(f"{name} rebuilt {p} wrongly")
        for f in glob.glob(os.path.join(folder, "*.1")):  # par2 keeps damaged files as NAME.1
            os.remove(f)
    return Job(name, args, before, after, cwd=folder)

ours_create = creating("ours create", ours("create", str(recovery)))
pairs = []
for peer, options in par2.items():
    pairs.append((ours_create, creating(f"{peer} create", ["par2", "create", *options, *pieces])))
ours_repair = repairing("ours repair", ours("create", str(recovery)), ours("repair"))
for peer, options in par2.items():
    pairs.append((ours_repair, repairing(f"{peer} repair", ["par2", "create", *options, *pieces],
                                         ["par2", "repair", "-q", "big.bin.par2"])))
settle([work])
table(pairs, compare(pairs, rounds, work), "ours", "par2")
print(f"ours: {recovery} recovery pieces, any {recovery} lost pieces rebuilt\n"
      f"par2 -s -c: one block a piece and {recovery} recovery blocks, the same\n"
      "par2 defaults: 5 % redundancy in about 2000 blocks: scattered damage mended,"
      " about 5 % of the bytes rebuilt")
PY
