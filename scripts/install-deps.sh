#!/usr/bin/env bash
# Installs the Debian packages that the build, the program and the tests need,
# but only those that are missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest libgtest-dev libgmock-dev libbenchmark-dev libsqlite3-dev
  wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick
  python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with:  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq >/dev/null
apt-get install -y -qq "${missing[@]}" >/dev/null
