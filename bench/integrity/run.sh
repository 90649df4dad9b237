#!/usr/bin/env bash
# Split by 100 MB and join a 1 GiB file with parcelo-cli, with and without checksums,
# against the coreutils pair (split -b then sha256sum of the pieces; sha256sum -c then
# the tail/cat join), side by side on a warm page cache; prints times and ratios.
#
#   bash bench/integrity/run.sh [BUILD_DIR] [SIZE_MIB]
set -euo pipefail
build=${1:-build}
size_mib=${2:-1024}
cli=$(realpath "$build/bin/parcelo-cli")
source "$(dirname "$0")/../lib.sh"
bench_work_folder

echo "Making a ${size_mib} MiB file in $work ..."
bench_random_file "$work/big.bin" "$size_mib"

python3 - "$cli" "$work" <<'PY'
import os, subprocess, sys, time
import benchlib

cli, work = sys.argv[1], sys.argv[2]
src = os.path.join(work, "big.bin")

fresh = lambda name: benchlib.fresh(work, name)

def timed(shell_command):
    os.sync()  # nobody pays for another's writeback
    start = time.perf_counter()
    subprocess.run(["sh", "-c", shell_command], check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start

def best(commands, rounds=3):
    """Runs the commands in turns; the best time of each."""
    times = {name: [] for name in commands}
    for _ in range(rounds):
        for name, make in commands.items():
            times[name].append(timed(make()))
    return {name: min(t) for name, t in times.items()}

q = lambda p: "'" + p + "'"
split = best({
    "with": lambda: f"{q(cli)} split {q(src)} {q(fresh('with'))} --size 100MB --yes",
    "without": lambda: f"{q(cli)} split {q(src)} {q(fresh('without'))} --size 100MB --yes"
                       " --no-checksums --no-join-script",
    "core": lambda: f"d={q(fresh('core'))}; split -b 100M -a 3 -d {q(src)} $d/big.bin. && "
                    "cd $d && sha256sum big.bin.* > big.bin.sha256",
})
# the coreutils pair joins parcelo's pieces the way a recipient without it would
with_set = os.path.join(work, "with")
join = best({
    "with": lambda: f"{q(cli)} join {q(with_set + '/big.bin.002')} {q(fresh('jw'))} --yes",
    "without": lambda: f"{q(cli)} join {q(os.path.join(work, 'without', 'big.bin.002'))}"
                       f" {q(fresh('jo'))} --yes",
    "core": lambda: f"cd {q(with_set)} && sha256sum -c --quiet big.bin.sha256 && "
                    f"for p in big.bin.[0-9]*; do tail -c +13 $p; done > {q(fresh('jc'))}/big.bin",
})
same = subprocess.run(["cmp", src, os.path.join(work, "jw", "big.bin")]).returncode == 0
for label, t in (("split", split), ("join ", join)):
    print(f"{label}: with checksums {t['with']:.2f} s, without {t['without']:.2f} s "
          f"(ratio {t['with'] / t['without']:.2f}, target <= 1.4); coreutils pair "
          f"{t['core']:.2f} s (faster by {t['core'] / t['with']:.2f}x, target >= 3)")
print("joined file equals the source:", "yes" if same else "NO")
PY
