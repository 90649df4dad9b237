#!/usr/bin/env bash
# Builds the core libraries and their tests with sanitizers in a build folder of their own
# and runs those tests; any fault a sanitizer finds fails its test.
#   scripts/sanitize.sh [SANITIZER...] [-- CTEST ARGUMENTS...]
#     address undefined (the default), or thread; the build folder is build-SANITIZERS,
#     or $SANITIZE_BUILD_DIR; the test folders are the core ones, or $SANITIZE_TEST_DIRS
#   e.g. scripts/sanitize.sh thread -- -R 'ZlibTool|CompressionAdapter|Checksums'
set -euo pipefail
cd "$(dirname "$0")/.."
sanitizers=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  sanitizers+=("$1")
  shift
done
[ $# -eq 0 ] || shift
[ ${#sanitizers[@]} -gt 0 ] || sanitizers=(address undefined)
list=$(IFS=';'; echo "${sanitizers[*]}")
build="${SANITIZE_BUILD_DIR:-build-$(IFS=-; echo "${sanitizers[*]}")}"

# The core libraries' tests: the engines, formats and parsers, where memory is handled.
# The command-line, package and crash tests run the same code through parcelo-cli in the
# main build.
core_tests="platform;format;integrity;recovery;split;join;verify;compress;xml"

# Warnings are the main build's business: the sanitizers' instrumentation makes GCC warn
# falsely (maybe-uninitialized inside std::regex), so they are not errors here.
# -O1 with line tables only: the usual sanitizer build, and about half the compile time of
# an optimised build with full debug information.
cmake -S . -B "$build" -G Ninja -DCMAKE_UNITY_BUILD=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" -DPARCELO_WERROR=OFF \
  -DPARCELO_BUILD_GUI=OFF -DPARCELO_BUILD_BENCH=OFF -DPARCELO_SANITIZE="$list" \
  -DPARCELO_TEST_DIRS="${SANITIZE_TEST_DIRS:-$core_tests}" > /dev/null
cmake --build "$build"
# Leaks count as faults too; a report names the file and line.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:${TSAN_OPTIONS:-}"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j 2 "$@"
