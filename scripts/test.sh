#!/usr/bin/env bash
# Sets everything up, builds every test with AddressSanitizer and UndefinedBehaviorSanitizer, runs them,
# then builds the fuzz targets with clang and gives each a short run over its seed corpus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" test
jobs=$(nproc)

build="$root/build-test"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUENVOL_SANITIZE=ON -DQUENVOL_TESTS=ON >/dev/null
cmake --build "$build" -j"$jobs"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 300

fuzz="$root/build-fuzz"
CXX=clang++ cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_FUZZ=ON \
  -DQUENVOL_TESTS=OFF >/dev/null
cmake --build "$fuzz" -j"$jobs"
seconds=${QUENVOL_FUZZ_SECONDS:-10}
for target in "$fuzz"/bin/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  corpus="$root/tests/fuzz/corpus/$name"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -print_final_stats=0 "$work" 2>&1 | tail -n 2
  rm -rf "$work"
done
echo "all tests and fuzz runs passed"
