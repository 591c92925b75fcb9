#!/usr/bin/env bash
# Installs what building and testing Kavrin needs on Debian 12 (run as root).
# With --linux, only what the Linux programs need.
set -euo pipefail

packages=(cmake make g++ pkgconf libgtest-dev libcli11-dev libxlsxwriter-dev nlohmann-json3-dev iso-codes
          libbluetooth-dev libsystemd-dev libsqlite3-dev libudev-dev)
if [ "${1:-}" != "--linux" ]; then
  packages+=(
    python3 clang libclang-rt-14-dev python3-openpyxl
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev dpkg-dev tcl
    wine wine64 fonts-wine xvfb xauth imagemagick x11-utils
    qt6-base-dev fonts-dejavu-core
    dbus-daemon dbus-x11 at-spi2-core python3-pyatspi
    mandoc desktop-file-utils
    git file lintian man-db zip unzip python3-pefile strace
    qemu-system-x86 busybox-static cpio kmod bluez bluez-test-tools python3-dbus python3-gi
    wixl msitools faketime systemd
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
