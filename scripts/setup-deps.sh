#!/usr/bin/env bash
# Installs the Debian packages that building and testing Polvane needs.
# Safe to run again: it installs only what is missing and asks nothing.
# wine32 is installed only where the kernel runs 32-bit programs: elsewhere
# the 64-bit loader and a 64-bit prefix run the x86_64 build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  binutils cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine msitools wixl faketime osslsigncode openssl
  xvfb xauth xdotool x11-utils imagemagick libxml2-utils time
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

install() {
  [ $# -gt 0 ] || return 0
  echo "Installing: $*"
  export DEBIAN_FRONTEND=noninteractive
  if [ -z "${updated:-}" ]; then
    as_root apt-get update -qq
    updated=1
  fi
  as_root apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# shellcheck disable=SC2046
install $(missing_of "${packages[@]}")

source scripts/lib/wine.sh
if runs_32bit_programs && [ -n "$(missing_of wine32:i386)" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
    updated=
  fi
  install wine32:i386
fi
