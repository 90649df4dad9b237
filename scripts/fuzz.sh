#!/usr/bin/env bash
# Builds every fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in its own build folder and runs each for its share of a bounded time.
#   scripts/fuzz.sh [seconds]      (all targets together; default 90; the build folder is
#                                   build-fuzz, or $FUZZ_BUILD_DIR)
# Exits non-zero when a fuzzer finds a crash, a hang, a leak or undefined behaviour; the
# input that caused it is left in the build folder under artifacts/NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-90}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
  -DPARCELO_FUZZ=ON -DPARCELO_BUILD_GUI=OFF -DPARCELO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target parcelo_fuzzers -j 2

# The targets CMake found sources for, one name a line (fuzz/CMakeLists.txt).
mapfile -t targets < "$build/fuzz-targets.txt"
# Leaks that belong to the libraries, not to Parcelo (each line says why); they are known
# by the library function on their stack, which the slow unwinder sees through libraries
# built without frame pointers.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:${LSAN_OPTIONS:-}"
export ASAN_OPTIONS="fast_unwind_on_malloc=0:${ASAN_OPTIONS:-}"
share=$(( seconds / ${#targets[@]} ))
(( share > 0 )) || share=1
for name in "${targets[@]}"; do
  echo "== parcelo_${name}_fuzzer: ${share} s"
  # The committed seeds stay as they are; what the run adds goes to a scratch corpus.
  work="$build/fuzz-corpus/$name"
  mkdir -p "$work" "$build/artifacts/$name"
  options=()
  [[ -f "fuzz/$name.dict" ]] && options+=("-dict=fuzz/$name.dict")
  [[ -d "fuzz/corpus/$name" ]] && options+=("fuzz/corpus/$name")
  "$build/bin/parcelo_${name}_fuzzer" "$work" "${options[@]}" \
    -max_total_time="$share" \
    -max_len=65536 \
    -timeout=10 \
    -rss_limit_mb=2048 \
    -detect_leaks=1 \
    -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name/"
done
