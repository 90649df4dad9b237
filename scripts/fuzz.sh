#!/usr/bin/env bash
# Builds the XML fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in its own build folder and runs it for a bounded time.
#   scripts/fuzz.sh [seconds]      (default 60; the build folder is build-fuzz, or $FUZZ_BUILD_DIR)
# Exits non-zero when the fuzzer finds a crash, a hang, a leak or undefined behaviour; the
# input that caused it is left in the build folder under artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
build="${FUZZ_BUILD_DIR:-build-fuzz}"

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPARCELO_FUZZ=ON -DPARCELO_BUILD_GUI=OFF -DPARCELO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target parcelo_xml_fuzzer -j 2

# The committed seeds stay as they are; what the run adds goes to a scratch corpus.
work="$build/fuzz-corpus"
mkdir -p "$work" "$build/artifacts"
"$build/bin/parcelo_xml_fuzzer" "$work" fuzz/corpus \
  -dict=fuzz/xml.dict \
  -max_total_time="$seconds" \
  -max_len=65536 \
  -timeout=10 \
  -rss_limit_mb=2048 \
  -detect_leaks=1 \
  -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/"
