#!/usr/bin/env bash
# Sets everything up, builds the client and starts it. Arguments are passed to the client (bookmark
# files, quenvol:// addresses).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" run
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quenvol
exec "$build/bin/quenvol" "$@"
