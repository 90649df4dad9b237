"""Shared helpers of the benchmark scripts: settled source files, and one interleaved run
of pairs of commands (ours against a peer) with the table of their ratios."""
import fnmatch
import os
import shutil
import statistics
import subprocess
import sys
import time


def files_under(paths):
    """The files named, and every file under the folders named."""
    for path in paths:
        if os.path.isdir(path):
            for folder, _, names in os.walk(path):
                yield from (os.path.join(folder, name) for name in sorted(names))
        else:
            yield path


def settle(paths):
    """Writes the files back to disk, drops them from the page cache and reads each once:
    a file fresh from its writer reads back from the cache about twice as slowly as one
    that was read from disk, so every input of a timed run is settled first."""
    buffer, seen = bytearray(1 << 20), set()
    for path in files_under(paths):
        with open(path, "rb", buffering=0) as f:
            inode = os.fstat(f.fileno())
            if (inode.st_dev, inode.st_ino) in seen:  # another link to a settled file
                continue
            seen.add((inode.st_dev, inode.st_ino))
            os.fsync(f.fileno())
            os.posix_fadvise(f.fileno(), 0, 0, os.POSIX_FADV_DONTNEED)
            while f.readinto(buffer):
                pass


def fresh(work, name):
    """An empty folder work/name, emptied when it exists."""
    path = os.path.join(work, name)
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path


def size_of(folder, pattern="*"):
    """The bytes of the files under folder whose names match pattern."""
    return sum(os.path.getsize(p) for p in files_under([folder])
               if fnmatch.fnmatch(os.path.basename(p), pattern))


def sh(script, *params):
    """A shell command line; the params reach the script as "$1"..., never as code."""
    return ["sh", "-c", script, "sh", *params]


class Job:
    """One command to time. before() readies its output and after() checks it, removes
    it and returns its size in bytes (or None), both outside the timing."""

    def __init__(self, name, args, before=None, after=None, stdout=None, cwd=None):
        self.name, self.args, self.stdout, self.cwd = name, args, stdout, cwd
        self.before, self.after = before, after


def into(name, args, folder, check=None, stdout=None, sized="*"):
    """A job writing into folder, which is made empty before the run; after the run
    check(folder) judges the output, the files matching sized are measured and the
    folder is removed, so that no output stays in the cache or on the disk."""
    def after():
        if check:
            check(folder)
        size = size_of(folder, sized)
        shutil.rmtree(folder)
        return size
    stdout = stdout and os.path.join(folder, stdout)
    return Job(name, args, lambda: fresh(folder, ""), after, stdout)


def same_file(expected, name):
    """A check that folder/name holds the bytes of expected."""
    def check(folder):
        if subprocess.run(["cmp", "-s", expected, os.path.join(folder, name)]).returncode:
            sys.exit(f"{os.path.join(folder, name)} differs from {expected}")
    return check


def run(job, peak_file):
    """Times one run of job under GNU time after a sync, so that no run pays for another's
    writeback: returns the seconds to its exit, the seconds until its output is on the disk
    (a sync after it), its peak resident MiB and its output's size. Ends the script when
    the command fails."""
    if job.before:
        job.before()
    os.sync()
    out = open(job.stdout, "wb") if job.stdout else subprocess.DEVNULL
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", peak_file] + job.args,
                          stdout=out, stderr=subprocess.PIPE, cwd=job.cwd)
    exited = time.perf_counter() - start
    os.sync()
    flushed = time.perf_counter() - start
    if job.stdout:
        out.close()
    if done.returncode != 0:
        sys.stderr.buffer.write(done.stderr)
        sys.exit(f"{job.name}: {' '.join(job.args)} failed with status {done.returncode}")
    with open(peak_file) as peak:
        mib = int(peak.read().split()[-1]) / 1024
    return exited, flushed, mib, job.after() if job.after else None


def compare(pairs, rounds, work):
    """Runs every pair (ours, peer) rounds times in one interleaved run, the order within
    a pair swapped each round (AB, BA, AB ...); returns the samples of each job by name."""
    peak_file = os.path.join(work, "peak.txt")
    samples = {}
    for r in range(rounds):
        print(f"round {r + 1} of {rounds} ...", file=sys.stderr)
        for pair in pairs:
            for job in pair if r % 2 == 0 else reversed(pair):
                exited, flushed, peak, size = run(job, peak_file)
                s = samples.setdefault(job.name, {"exited": [], "flushed": [], "peak": 0.0})
                s["exited"].append(exited)
                s["flushed"].append(flushed)
                s["peak"] = max(s["peak"], peak)
                s["size"] = size
    return samples


def table(pairs, samples, ours="ours", peer="peer"):
    """Prints a row a pair: the minimum and median ratio (ours / peer) of the times to
    exit, the median ratio of the times until the output is on the disk, the median
    seconds of each, the size ratio of the outputs and the peak memory of each."""
    print(f"{ours:<22}{peer:<26}{'min':>6}{'median':>8}{'on disk':>8}{ours + ' s':>9}"
          f"{peer + ' s':>9}{'size':>8}{ours + ' MiB':>10}{peer + ' MiB':>10}")
    for a, b in pairs:
        sa, sb = samples[a.name], samples[b.name]
        med = lambda s, key="exited": statistics.median(s[key])
        size = f"{sa['size'] / sb['size']:.4f}" if sa["size"] and sb["size"] else ""
        print(f"{a.name:<22}{b.name:<26}{min(sa['exited']) / min(sb['exited']):>6.2f}"
              f"{med(sa) / med(sb):>8.2f}{med(sa, 'flushed') / med(sb, 'flushed'):>8.2f}"
              f"{med(sa):>9.2f}{med(sb):>9.2f}{size:>8}{sa['peak']:>10.1f}{sb['peak']:>10.1f}")
