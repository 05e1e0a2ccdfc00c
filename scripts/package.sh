#!/usr/bin/env bash
# Builds the Debian package of the client and the demo server: BUILD/quenvol_VERSION_ARCH.deb, which
# installs with `sudo apt install ./build-pkg/quenvol_*.deb`. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" package
build="$root/build-pkg"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack)
