#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, testing and
# running both programs. Idempotent: installs only missing packages.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
          wine64 xvfb xauth x11-utils fonts-wqy-microhei googletest imagemagick
          python3 curl locales procps chromium)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
