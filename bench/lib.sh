# Shared set-up of the benchmark scripts; sourced, not run.

# A fresh work folder under the temporary folder, removed when the script ends: sets work.
bench_work_folder() {
  work=$(mktemp -d "${TMPDIR:-/var/tmp}/parcelo-bench.XXXXXX")
  trap 'rm -rf "$work"' EXIT
}

# Installs the Debian packages named when they are missing (GNU time measures peak memory).
bench_need() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null
  done
}

# Writes MIB mebibytes of random bytes to PATH and reads them once into the page cache.
bench_random_file() {
  head -c $(($2 * 1024 * 1024)) /dev/urandom >"$1"
  cat "$1" >/dev/null
}

# The Python helpers of the embedded scripts (benchlib.py) are found through this.
export PYTHONPATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)${PYTHONPATH:+:$PYTHONPATH}"
