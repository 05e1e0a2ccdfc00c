#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz/, built with clang and libFuzzer) for SECONDS each over a copy of its
# seed corpus and prints how many inputs each one ran (as each one ends, and all together at the end, in
# the order of the targets). A crash, leak, time-out or out-of-memory input is a finding: it is kept under
# BUILD/fuzz-findings/<target>/ and the script fails. Each run's log is kept in BUILD/fuzz-logs/.
# Usage: scripts/fuzz.sh [-j N] [SECONDS]     (default 600 seconds, ten minutes per target, one at a time)
#   -j N               run N targets at once (each target is one process on one core)
#   QUENVOL_FUZZ_DIR   the build folder (default build-fuzz in the source tree)
# Only the fuzz targets and the layers they read with are built, not the client. The build waits for the
# machine-wide build lock when flock is there, as scripts/dev-build.sh does, unless
# QUENVOL_BUILD_UNLOCKED=1: scripts/test.sh builds without the lock, and a caller that already holds it
# would otherwise wait for itself.
set -euo pipefail
usage() {
  echo "usage: $0 [-j N] [SECONDS]" >&2
  exit 2
}
jobs=1
seconds=600
while [ $# -gt 0 ]; do
  case $1 in
  -j) [ $# -ge 2 ] || usage; jobs=$2; shift 2 ;;
  -j*) jobs=${1#-j}; shift ;;
  *[!0-9]* | '') usage ;;
  *) seconds=$1; shift ;;
  esac
done
case $jobs in '' | *[!0-9]* | 0) usage ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVOL_FUZZ_DIR:-$root/build-fuzz}
"$root/scripts/install-deps.sh" test

configure_and_build() {
  if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_FUZZ=ON \
      -DQUENVOL_TESTS=OFF >/dev/null
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
mkdir -p "$findings_root" "$logs"

# One target: its line for the summary goes to LOGS/NAME.line, its status to the exit code.
fuzz_one() {
  local target=$1 name corpus work findings log status runs rate found line
  name=$(basename "$target")
  corpus="$root/tests/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  findings="$findings_root/$name"
  rm -rf "$findings" && mkdir -p "$findings"
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  echo "fuzzing $name for ${seconds}s" >&2
  log="$logs/$name.log"
  status=0
  "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" "$work" >"$log" 2>&1 ||
    status=$?
  rm -rf "$work"
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
echo "executions per target in ${seconds}s:"
for target in "${targets[@]}"; do
  name=$(basename "$target")
  if [ -f "$logs/$name.line" ]; then cat "$logs/$name.line"; else echo "$name: no result" && failed=1; fi
done
exit $failed
