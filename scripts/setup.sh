#!/usr/bin/env bash
# Installs what building, running and testing Penwise need on Debian 12, skipping what is there.
set -euo pipefail
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  cmake ninja-build g++ python3 ccache
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  wine wine32:i386 wine64
  xvfb xauth x11-utils imagemagick
  googletest
  fonts-liberation fonts-comic-neue fonts-wine
  hunspell-en-us hunspell-en-gb hunspell-ru hunspell-de-de hunspell-fr
  libhunspell-dev libnuspell-dev
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# A mirror in the middle of a sync fails an index or two; try again once, then go on with the
# lists there are (the install below says clearly if a package cannot be had).
update_lists() {
  $SUDO apt-get update -q && return 0
  echo "setup: apt-get update failed; trying again in 20 s"
  sleep 20
  $SUDO apt-get update -q && return 0
  echo "setup: apt-get update failed again; installing from the package lists there are"
}

updated=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture for 32-bit Wine"
  $SUDO dpkg --add-architecture i386
  update_lists
  updated=1
fi

missing=()
for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  [ $updated -eq 1 ] || update_lists
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi
