#!/usr/bin/env bash
# Development build and test run that wait their turn: the machine has two cores, so only one build or
# test run goes at a time. Usage: scripts/dev-test.sh BUILD_DIR [ctest arguments...]
# Example: scripts/dev-test.sh build-test -R 'Chat'
set -euo pipefail
dir=${1:?build folder}; shift
root=$(cd "$(dirname "$0")/.." && pwd)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
exec flock /tmp/quenvol-build.lock bash -c '
  dir=$1; root=$2; shift 2
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DQUENVOL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
  fi
  # Rebases rewrite many files without changing them: a compiler cache makes those rebuilds cheap. It
  # caches sources compiled with precompiled headers only when told that their time macros and
  # definitions may be taken as they are.
  export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:+$CCACHE_SLOPPINESS,}pch_defines,time_macros
  if command -v ccache >/dev/null && ! grep -q "^CMAKE_CXX_COMPILER_LAUNCHER:.*ccache" "$dir/CMakeCache.txt"; then
    cmake -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$dir" >/dev/null
  fi
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 "$@"
' _ "$dir" "$root" "$@"
