#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping what is there.
set -euo pipefail

need=(g++-mingw-w64-i686 mingw-w64-i686-dev binutils-mingw-w64-i686
      wine wine32:i386 wine64 xvfb xauth xdotool imagemagick googletest
      libgtest-dev libgmock-dev libbenchmark-dev cmake make g++ clang libclang-rt-14-dev zip unzip)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
