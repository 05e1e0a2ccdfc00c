#!/usr/bin/env bash
# Sets everything up, builds every test with AddressSanitizer and UndefinedBehaviorSanitizer, runs them,
# then builds the fuzz targets alone with clang and gives each a short run over its seed corpus
# (scripts/fuzz.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
jobs=$(nproc)

build="$root/build-test"
# Line tables are all a sanitizer report needs for its file and line numbers; the rest of the debugging
# information costs about a tenth of the compile time of this build.
# The build starts from nothing, so the sources compile in batches (cmake/BuildSpeed.cmake), which also
# keeps every source free of names that clash with another's.
# The benchmarks are built too, though not run: a benchmark nobody compiles stops compiling unnoticed.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DQUENVOL_SANITIZE=ON \
  -DQUENVOL_UNITY=ON -DQUENVOL_TESTS=ON -DQUENVOL_BENCH=ON >/dev/null
cmake --build "$build" -j"$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 300

# A short run of every fuzz target over its seed corpus, one per core (scripts/fuzz.sh SECONDS for a longer
# one).
QUENVOL_BUILD_UNLOCKED=1 "$root/scripts/fuzz.sh" -j "$jobs" "${QUENVOL_FUZZ_SECONDS:-10}"
echo "all tests and fuzz runs passed"
