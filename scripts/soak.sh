#!/usr/bin/env bash
# The long soak: a client left in a busy server (chat, users coming and going, a private chat, private
# messages, news, small downloads) for MINUTES minutes, default 30. It runs in a release build of its own:
# the address sanitizer's quarantine keeps freed memory resident, which would hide what the client keeps.
# Prints the resident size and the live heap once a minute, then the growth after the first minute, and
# fails when that is over 5 MB.
# Usage: scripts/soak.sh [MINUTES]   (SOAK_BUILD_DIR names another build folder; default build-soak)
set -euo pipefail
minutes=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${SOAK_BUILD_DIR:-$root/build-soak}
# Configured here, before the shared build script, which would make a new folder a sanitizer build.
if [ ! -f "$dir/build.ninja" ]; then
  flock /tmp/quenvol-build.lock cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
"$root/scripts/dev-build.sh" "$dir" client_soak_tests quenvol_data
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
# The run idles between its seconds of traffic, so it does not hold the build lock.
QUENVOL_SOAK_MINUTES=$minutes exec "$dir/bin/client_soak_tests" --gtest_filter='Soak.*'
