# Shared set-up of the benchmark scripts; sourced, not run.

# A fresh work folder under the temporary folder, removed when the script ends: sets work.
bench_work_folder() {
  work=$(mktemp -d "${TMPDIR:-/var/tmp}/parcelo-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
}

# Installs the Debian packages named when they are missing: the tools compared with and
# GNU time (peak memory) are needed by the benchmarks only, never by the build or tests.
bench_need() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" &&
      continue
    echo "Installing the Debian package $package, which the benchmark compares with or" \
      "measures by ..." >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null || {
      echo "could not install $package: install it (apt-get install $package) and rerun" >&2
      exit 1
    }
  done
}

# Writes the files (or every file under the folders) back to disk, drops them from the
# page cache and reads them once (benchlib.settle): what timed runs read came from disk.
bench_settle() {
  python3 -c 'import sys, benchlib; benchlib.settle(sys.argv[1:])' "$@"
}

# Writes MIB mebibytes of random bytes to PATH and settles it.
bench_random_file() {
  head -c $(($2 * 1024 * 1024)) /dev/urandom >"$1"
  bench_settle "$1"
}

# The Python helpers of the embedded scripts (benchlib.py) are found through this.
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
