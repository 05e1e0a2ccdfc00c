#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz/, built with clang and libFuzzer) for SECONDS each over a copy of its
# seed corpus, one target at a time, and prints how many inputs each one ran (as each one ends, and all
# together at the end). A crash, leak, time-out or out-of-memory input is a finding: it is kept under
# BUILD/fuzz-findings/<target>/ and the script fails. Each run's log is kept in BUILD/fuzz-logs/.
# Usage: scripts/fuzz.sh [SECONDS]          (default 600, ten minutes per target)
#   QUENVOL_FUZZ_DIR   the build folder (default build-fuzz in the source tree)
# The build waits for the machine-wide build lock when flock is there, as scripts/dev-build.sh does,
# unless QUENVOL_BUILD_UNLOCKED=1: scripts/test.sh builds without the lock, and a caller that already
# holds it would otherwise wait for itself.
set -euo pipefail
seconds=${1:-600}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVOL_FUZZ_DIR:-$root/build-fuzz}
"$root/scripts/install-deps.sh" test

configure_and_build() {
  if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_FUZZ=ON \
      -DQUENVOL_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" -j2
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
failed=0
summary=()
for target in "$build"/bin/fuzz_*; do
  [ -x "$target" ] || continue
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
    failed=1
    line=$(printf '%-18s %14s runs %9s/s   FINDING (exit %s): see %s and %s' "$name" "${runs:-?}" "${rate:-?}" \
      "$status" "$findings" "$log")
  else
    rm -rf "$findings"
    line=$(printf '%-18s %14s runs %9s/s   no findings' "$name" "${runs:-?}" "${rate:-?}")
  fi
  echo "$line" >&2
  summary+=("$line")
done
[ ${#summary[@]} -gt 0 ] || { echo "no fuzz targets in $build/bin" >&2; exit 1; }
echo "executions per target in ${seconds}s:"
printf '%s\n' "${summary[@]}"
exit $failed
