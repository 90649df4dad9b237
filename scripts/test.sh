#!/usr/bin/env bash
# Installs what the build needs, builds Parcelo and runs every test (and a short fuzzing run).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# CI builds with warnings as errors (clang-tidy is scripts/tidy.sh, run before a commit).
bash scripts/build.sh -DPARCELO_WERROR=ON
# A bounded fuzzing run of every fuzz target (clang, AddressSanitizer): no crash, hang or leak.
bash scripts/fuzz.sh "${PARCELO_FUZZ_SECONDS:-60}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j 2
# The core tests once more under AddressSanitizer and UndefinedBehaviorSanitizer, in a
# build folder of their own without the windows and benchmarks.
bash scripts/sanitize.sh address undefined
# The Debian package: contents, desktop entry, and the programs run from it.
bash scripts/check-package.sh build
