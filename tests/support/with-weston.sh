#!/usr/bin/env bash
# Runs a test program inside a headless Wayland compositor of its own, with Qt's Wayland platform, so
# that the client is tried natively on Wayland as well as offscreen. Exits 77 (a skipped test) where the
# compositor is not installed.
# Usage: tests/support/with-weston.sh PROGRAM [ARGS...]
set -euo pipefail
if ! command -v weston >/dev/null; then
  echo "weston is not installed: the Wayland run is skipped"
  exit 77
fi
run=$(mktemp -d)
chmod 700 "$run"
XDG_RUNTIME_DIR=$run weston --backend=headless-backend.so --socket=quenvol-test --idle-time=0 \
  >"$run/weston.log" 2>&1 &
weston_pid=$!
trap 'kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null; rm -rf "$run"' EXIT
# The compositor is ready once its socket exists; ten seconds is far beyond its start-up.
for _ in $(seq 100); do
  [ -S "$run/quenvol-test" ] && break
  if ! kill -0 $weston_pid 2>/dev/null; then cat "$run/weston.log"; exit 1; fi
  sleep 0.1
done
[ -S "$run/quenvol-test" ] || { echo "the compositor did not start"; cat "$run/weston.log"; exit 1; }
# An absolute socket path: the tests give the clients they start runtime folders of their own.
export WAYLAND_DISPLAY=$run/quenvol-test
export QT_QPA_PLATFORM=wayland QUENVOL_CHILD_PLATFORM=wayland
export XDG_RUNTIME_DIR=$run
# The graphics driver's one-time set-up allocates below frames the fast unwinder cannot walk; the full
# unwinder reaches the driver's library, which the leak suppressions name.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS=$ASAN_OPTIONS:fast_unwind_on_malloc=0; fi
"$@"
