#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the core libraries, everything under
# src/ but the windows, with the compile database of build/. Exits non-zero on any finding.
#   scripts/tidy.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
core='/src/(platform|format|integrity|split|join|verify|compress|xml|app|commands|cli)/[^/]*\.cpp$'
run-clang-tidy -p "$build" -j 2 -quiet "$core" >"$build/clang-tidy.log" 2>&1 || {
  grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u
  echo "clang-tidy found problems (full output in $build/clang-tidy.log)" >&2
  exit 1
}
echo "clang-tidy: no findings in the core libraries"
