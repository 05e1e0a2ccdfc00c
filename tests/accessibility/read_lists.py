#!/usr/bin/python3
# What a screen reader meets: the real client, logged in to a local server, read through the desktop's
# accessibility bus. The online users and the files of the server's folder must be readable by name.
# Run inside a session bus and a display (tests/accessibility/run.sh does both).
# Usage: read_lists.py BIN_DIR
import os
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

bin_dir = sys.argv[1]
home = tempfile.mkdtemp(prefix="quenvol-a11y-")
files = os.path.join(home, "files")
os.makedirs(os.path.join(files, "Docs"))
with open(os.path.join(files, "Read Me.txt"), "wb") as f:
    f.write(b"r" * 425)
with open(os.path.join(files, "Docs", "a.txt"), "wb") as f:
    f.write(b"a")
config = os.path.join(home, "server.conf")
with open(config, "w") as f:
    f.write("guest yes\nguest-access all\nuser 900 410 0 Robin\nuser 901 414 2 Sam\nfiles files\n")

server = subprocess.Popen([os.path.join(bin_dir, "quenvol-server"), "--config", config],
                          stdout=subprocess.PIPE, text=True)
port = None
for line in server.stdout:
    if "listening on 127.0.0.1:" in line:
        port = line.rsplit(":", 1)[1].strip()
        break
if not port:
    sys.exit("the server did not start")

env = dict(os.environ)
for name in ("data", "config", "run"):
    os.makedirs(os.path.join(home, name), mode=0o700)
env.update({"XDG_DATA_HOME": os.path.join(home, "data"), "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
client = subprocess.Popen([os.path.join(bin_dir, "quenvol"), "quenvol://127.0.0.1:" + port], env=env)


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        try:
            yield from walk(node.getChildAtIndex(i), depth + 1)
        except Exception:
            pass


def the_client():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name.lower().startswith("quenvol"):
            return app
    return None


def list_rows():
    app = the_client()
    rows = []
    if app is None:
        return rows
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_LIST:
            rows.append([node.getChildAtIndex(i).name for i in range(node.childCount)])
    return rows


def wait_for(what, found, seconds=60):
    # The client under the sanitizers on a busy machine starts slowly: poll, with a limit. Windows come
    # and go while the tree is read (the connect window closes on login), so an object may vanish between
    # being listed and being asked for its role: that round counts as not found yet, as a screen reader
    # would simply read again.
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            value = found()
        except GLib.GError:
            value = None
        if value:
            return value
        time.sleep(0.2)
    try:
        app = the_client()
        seen = [(n.getRoleName(), n.name) for n in walk(app)] if app else []
        lists = list_rows()
    except GLib.GError as e:
        seen, lists = str(e), []
    sys.exit("gave up waiting for " + what + "; lists seen: " + repr(lists) + "; tree: " + repr(seen))


def press(wanted):
    """Presses the first button whose name (or tooltip) is `wanted`, as a screen reader's user would."""
    app = the_client()
    for node in walk(app):
        if node.getRole() != pyatspi.ROLE_PUSH_BUTTON or wanted not in (node.name, node.description):
            continue
        action = node.queryAction()
        for i in range(action.nActions):
            if action.getName(i).lower() in ("press", "click"):
                action.doAction(i)
                return True
    return False


def open_files():
    # A note the start-up showed (no sound on this machine) is a modal box: it is answered first.
    press("OK")
    press("Files")
    return any("Read Me.txt, 425 bytes" in rows and "Docs, folder, 1 item" in rows for rows in list_rows())


status = 0
try:
    wait_for("the users list", lambda: any("Sam, administrator" in rows and "Robin" in rows
                                           for rows in list_rows()))
    print("users list read by name")
    wait_for("the file list", open_files)
    print("file list read by name")
except SystemExit as e:
    print(e, file=sys.stderr)
    status = 1
finally:
    client.terminate()
    try:
        client.wait(30)
    except subprocess.TimeoutExpired:
        client.kill()
    server.terminate()
    server.wait()
sys.exit(status)
