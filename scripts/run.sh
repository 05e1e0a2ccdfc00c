#!/usr/bin/env bash
# Sets everything up, builds the client and starts it. Arguments are passed to the client (bookmark
# files, quenvol:// addresses). Without arguments the demo server is started on a free local port in
# the background (its log goes to BUILD/quenvol-server.log, the folder it shares is BUILD/demo/demo-files)
# and the client connects to it; the server stops when the client exits.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" run
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENVOL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quenvol quenvol-server

if [ $# -gt 0 ]; then
  exec "$build/bin/quenvol" "$@"
fi

# The server shares a fresh copy of the sample folder, so that what users change stays out of the sources.
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
cp "$root/tools/quenvol-server/demo.conf" "$demo/"
cp -R "$root/tools/quenvol-server/demo-files" "$demo/demo-files"
mkdir -p "$demo/demo-files/Uploads" "$demo/demo-files/Drop Box"
# Large samples are made here rather than kept in the sources: only their names and sizes matter.
truncate -s 1536000 "$demo/demo-files/Software/Quenvol Client.zip"
truncate -s 734003 "$demo/demo-files/Pictures/Harbour at Dawn.jpg"
truncate -s 512333 "$demo/demo-files/Pictures/Old Lighthouse.gif"

log="$build/quenvol-server.log"
"$build/bin/quenvol-server" --port 0 --config "$demo/demo.conf" </dev/null >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
port=""
for _ in $(seq 1 100); do
  port=$(sed -n 's/^quenvol-server listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "run.sh: the demo server did not start; see $log" >&2
  exit 1
fi
echo "Demo server on 127.0.0.1:$port (log: $log)"
"$build/bin/quenvol" "quenvol://127.0.0.1:$port"
