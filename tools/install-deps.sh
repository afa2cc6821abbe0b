#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need:
# the mingw-w64 cross toolchains (i686 for the product, x86_64 for the build the
# tests run), Wine, Xvfb, CMake, GoogleTest and the art tools.
# Safe to run again: it only installs what is missing.
#
# Wine is the 64-bit loader on purpose: machines here boot with the kernel's
# 32-bit support switched off (ia32_emulation), where no 32-bit code can run,
# not even through Wine's WoW64. See README, "Testing".
set -euo pipefail

need=(cmake ninja-build make g++ clang googletest libgtest-dev
      mingw-w64 g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine64 xvfb x11-utils x11-xserver-utils xcompmgr xdotool imagemagick python3 clang libclang-rt-14-dev
      fonts-noto-cjk fonts-dejavu-core nsis)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
