#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for building, testing and
# running the programs. Idempotent: installs only missing packages. The
# 32-bit Wine (i386 multiarch) only where the machine executes 32-bit
# programs: a probe decides, never a guess. Recommends are left out, so what
# Wine only recommends is named here: fonts-wine holds Marlett, the font of
# the title bar's and scroll bars' glyphs (without it the caption buttons read
# "0 1 r"), and libgnutls30, through which Wine speaks TLS (the https tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
packages=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64 mingw-w64-tools
          wine64 libgnutls30 fonts-wine xvfb xauth x11-utils fonts-wqy-microhei googletest imagemagick
          python3 curl locales procps libssl-dev openssl chromium)
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# The probe runs from the build folder: /tmp may forbid running programs.
if vemli_runs_32bit "$root/build"; then
  for p in wine32:i386 libgnutls30:i386; do
    installed "$p" || missing+=("$p")
  done
  if ! installed wine32:i386; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "setup: adding the i386 architecture for the 32-bit Wine"
      $sudo dpkg --add-architecture i386
    fi
  fi
else
  echo "setup: this machine does not run 32-bit programs; the 32-bit Windows suite will not run here"
fi
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
