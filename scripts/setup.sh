#!/usr/bin/env bash
# Installs what building, running and testing Penwise need on Debian 12, skipping what is there:
# both MinGW-w64 toolchains and 64-bit Wine always; 32-bit Wine (wine32:i386) only where the
# kernel runs 32-bit programs, and never at the cost of a package already installed.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  cmake ninja-build g++ python3 ccache
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine64
  xvfb xauth x11-utils imagemagick
  googletest
  fonts-liberation fonts-comic-neue fonts-wine
  hunspell-en-us hunspell-en-gb hunspell-ru hunspell-de-de hunspell-fr
  libhunspell-dev libnuspell-dev
  nsis zip unzip p7zip-full
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# A mirror in the middle of a sync fails an index or two; try again once, then go on with the
# lists there are (the install below says clearly if a package cannot be had).
updated=0
update_lists() {
  [ $updated -eq 0 ] || return 0
  updated=1
  $SUDO apt-get update -q && return 0
  echo "setup: apt-get update failed; trying again in 20 s"
  sleep 20
  $SUDO apt-get update -q && return 0
  echo "setup: apt-get update failed again; installing from the package lists there are"
}

# An install that removes nothing: a package that would take another away fails instead.
apt_install() { $SUDO apt-get install -y -q --no-install-recommends --no-remove "$@" </dev/null; }

missing=()
for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done

# 32-bit Wine, only where it can run. Its i386 libraries must be the very versions of their
# amd64 twins; when the mirror's i386 index lags behind the amd64 one (the security suite's
# has been seen stale for a whole day), the two are taken together from the release itself.
want32=0
if ! kernel_runs_32bit; then
  echo "setup: 32-bit Wine SKIPPED: this machine's kernel does not run 32-bit programs; only the 64-bit program will run here"
elif ! installed wine32:i386; then
  want32=1
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "setup: adding the i386 architecture for 32-bit Wine"
    $SUDO dpkg --add-architecture i386
  fi
fi

if [ $want32 -eq 1 ]; then
  echo "setup: installing ${missing[*]} wine32:i386"
  update_lists
  if ! apt_install "${missing[@]}" wine32:i386 && ! apt_install -o APT::Default-Release=bookworm "${missing[@]}" wine32:i386; then
    echo "setup: 32-bit Wine SKIPPED: wine32:i386 cannot be installed beside the packages here (apt's message is above); only the 64-bit program will run here"
    [ ${#missing[@]} -eq 0 ] || apt_install "${missing[@]}"
  fi
elif [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  update_lists
  apt_install "${missing[@]}"
fi
