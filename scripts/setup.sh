#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test Hourlark.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

packages=(
  cmake make g++
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  g++-multilib qemu-user
  wine wine64 fonts-wine
  xvfb xauth
  googletest libgtest-dev libbenchmark-dev
  imagemagick
  cups printer-driver-cups-pdf poppler-utils
  clang libclang-rt-14-dev
  libfaketime
  icoutils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
