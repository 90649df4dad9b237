#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the core libraries, everything under
# src/ but the windows, and exits non-zero on any finding. The compile database comes from
# a configure-only folder of its own (build-tidy), one entry per source file, which a unity
# build's database would not give.
#   scripts/tidy.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-tidy
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=OFF \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DPARCELO_BUILD_GUI=OFF >/dev/null
core='/src/(platform|format|integrity|recovery|split|join|verify|compress|xml|app|commands|cli)/[^/]*\.cpp$'
run-clang-tidy -p "$build" -j 2 -quiet "$core" >"$build/clang-tidy.log" 2>&1 || {
  grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u
  echo "clang-tidy found problems (full output in $build/clang-tidy.log)" >&2
  exit 1
}
echo "clang-tidy: no findings in the core libraries"
