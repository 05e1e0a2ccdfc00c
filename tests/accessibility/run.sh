#!/usr/bin/env bash
# Reads the real client's lists through the accessibility bus: a private session bus (which starts the
# accessibility bus on demand) around a headless compositor. Exits 77 (a skipped test) where the
# accessibility tools are not installed.
# Usage: tests/accessibility/run.sh BIN_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v dbus-run-session >/dev/null || ! /usr/bin/python3 -c "import pyatspi" 2>/dev/null ||
   [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
  echo "the accessibility bus or its Python binding is not installed: skipped"
  exit 77
fi
exec dbus-run-session -- "$here/../support/with-weston.sh" /usr/bin/python3 "$here/read_lists.py" "$1"
