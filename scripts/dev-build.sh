#!/usr/bin/env bash
# Development build that waits its turn: the machine has two cores, so only one build runs at a time.
# Usage: scripts/dev-build.sh BUILD_DIR [target...]
set -euo pipefail
dir=${1:?build folder}; shift
root=$(cd "$(dirname "$0")/.." && pwd)
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
  if [ $# -gt 0 ]; then cmake --build "$dir" -j2 --target "$@"; else cmake --build "$dir" -j2; fi
' _ "$dir" "$root" "$@"
