#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz/, built with clang and libFuzzer) for SECONDS each over its corpus and
# prints how many inputs each one ran (as each one ends, and all together at the end, in the order of the
# targets). A crash, leak, time-out or out-of-memory input is a finding: it is kept under
# BUILD/fuzz-findings/<target>/ and the script fails. Each run's log is kept in BUILD/fuzz-logs/.
# The corpus a target grows is kept in BUILD/fuzz-corpus/<target>/, so that a later run goes on from where
# the last one got to; each run adds the seed corpus of tests/fuzz/corpus/ to it first.
# Usage: scripts/fuzz.sh [-j N] [-r RUNS] [SECONDS]     (default 600 seconds, ten minutes per target)
#   -j N               run N targets at once (default 1; each target is one process on one core)
#   -r RUNS            stop a target after RUNS inputs even before SECONDS have passed
#   QUENVOL_FUZZ_DIR   the build folder (default build-fuzz in the source tree)
# Only the fuzz targets and the layers they read with are built, not the client. The build waits for the
# machine-wide build lock when flock is there, as scripts/dev-build.sh does, unless
# QUENVOL_BUILD_UNLOCKED=1: scripts/test.sh builds without the lock, and a caller that already holds it
# would otherwise wait for itself.
set -euo pipefail
usage() {
  echo "usage: $0 [-j N] [-r RUNS] [SECONDS]" >&2
  exit 2
}
jobs=1
runs_limit=-1
seconds=600
while [ $# -gt 0 ]; do
  case $1 in
  -j | -r) [ $# -ge 2 ] || usage; [ "$1" = -j ] && jobs=$2 || runs_limit=$2; shift 2 ;;
  -j*) jobs=${1#-j}; shift ;;
  -r*) runs_limit=${1#-r}; shift ;;
  *[!0-9]* | '') usage ;;
  *) seconds=$1; shift ;;
  esac
done
case $jobs in '' | *[!0-9]* | 0) usage ;; esac
case $runs_limit in -1) ;; '' | *[!0-9]* | 0) usage ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVOL_FUZZ_DIR:-$root/build-fuzz}
"$root/scripts/install-deps.sh" test

configure_and_build() {
  if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_FUZZ=ON \
      -DQUENVOL_UNITY=ON -DQUENVOL_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" -j2 --target quenvol_fuzzers
}
if [ "${QUENVOL_BUILD_UNLOCKED:-}" != 1 ] && command -v flock >/dev/null; then
  export -f configure_and_build
  export root build
  flock /tmp/quenvol-build.lock bash -c configure_and_build
else
  configure_and_build
fi

findings_root="$build/fuzz-findings"
logs="$build/fuzz-logs"
corpora="$build/fuzz-corpus"
mkdir -p "$findings_root" "$logs" "$corpora"

# One target: its line for the summary goes to LOGS/NAME.line, its status to the exit code.
fuzz_one() {
  local target=$1 name seeds work findings log status runs rate found line
  name=$(basename "$target")
  seeds="$root/tests/fuzz/corpus/${name#fuzz_}"
  work="$corpora/$name"
  findings="$findings_root/$name"
  rm -rf "$findings" && mkdir -p "$findings" "$work"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "fuzzing $name for ${seconds}s" >&2
  log="$logs/$name.log"
  status=0
  "$target" -max_total_time="$seconds" -runs="$runs_limit" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$work" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  found=$(find "$findings" -maxdepth 1 -type f | wc -l)
  if [ "$status" -ne 0 ] || [ "$found" -ne 0 ]; then
    line=$(printf '%-22s %14s runs %9s/s   FINDING (exit %s): see %s and %s' "$name" "${runs:-?}" "${rate:-?}" \
      "$status" "$findings" "$log")
    status=1
  else
    rm -rf "$findings"
    line=$(printf '%-22s %14s runs %9s/s   no findings' "$name" "${runs:-?}" "${rate:-?}")
  fi
  echo "$line" >&2
  echo "$line" >"$logs/$name.line"
  return "$status"
}

targets=()
for target in "$build"/bin/fuzz_*; do
  [ -x "$target" ] && targets+=("$target")
done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/bin" >&2; exit 1; }
failed=0
running=0
for target in "${targets[@]}"; do
  rm -f "$logs/$(basename "$target").line"
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz_one "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
if [ "$runs_limit" -gt 0 ]; then
  echo "executions per target in ${seconds}s or $runs_limit runs, whichever came first:"
else
  echo "executions per target in ${seconds}s:"
fi
for target in "${targets[@]}"; do
  name=$(basename "$target")
  if [ -f "$logs/$name.line" ]; then cat "$logs/$name.line"; else echo "$name: no result" && failed=1; fi
done
exit $failed
