#!/usr/bin/env bash
# Installs what building, running and testing the client need, from Debian's packages. Only missing
# packages are installed, so a machine that has everything is left alone (and needs no network).
# Usage: scripts/install-deps.sh [run|test|package]
set -euo pipefail

# libxcb1-dev: a row dragged out to a file manager is promised through the X11 display.
# qt6-wayland: the client runs natively on a Wayland session instead of through X11 compatibility.
run_packages=(cmake ninja-build g++ qt6-base-dev libgl-dev qt6-multimedia-dev librsvg2-bin libxcb1-dev qt6-wayland)
# lld: links the test programs several times faster than the default linker.
# The desktop tests: a private message bus for the notification test, the desktop's validators for the
# installed layout, a headless Wayland compositor for the Wayland run, and the accessibility bus with its
# Python binding for the screen-reader test (each is skipped where its tool is missing).
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev lld dbus-daemon weston
               at-spi2-core python3-pyatspi
               desktop-file-utils appstream shared-mime-info xdg-utils groff-base)
# dpkg-shlibdeps computes the package's dependencies from the libraries the programs link.
package_packages=(dpkg-dev file)

packages=("${run_packages[@]}")
if [ "${1:-run}" = test ]; then packages+=("${test_packages[@]}"); fi
if [ "${1:-run}" = package ]; then packages+=("${package_packages[@]}"); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then missing+=("$p"); fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
