"""Shared helpers of the benchmark scripts' Python parts."""
import os
import shutil
import subprocess
import sys
import time


def fresh(work, name):
    """An empty folder work/name, emptied when it exists."""
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def run(args, peak_file, stdout=None, cwd=None):
    """Runs a command under GNU time after a sync, so that no run pays for another's
    writeback; returns (seconds, peak resident MiB) and ends the script on a failure."""
    os.sync()
    out = open(stdout, "wb") if stdout else subprocess.DEVNULL
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak_file] + args,
                          stdout=out, stderr=subprocess.DEVNULL, cwd=cwd)
    seconds = time.perf_counter() - start
    if stdout:
        out.close()
    if done.returncode != 0:
        sys.exit(f"{' '.join(args)} failed with status {done.returncode}")
    with open(peak_file) as peak:
        return seconds, int(peak.read().split()[-1]) / 1024
