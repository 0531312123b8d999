#!/usr/bin/env bash
# Configures and builds the Windows program for both architectures (build/win32: i686, the
# 32-bit program; build/win64: x86_64) and, with "native", the portable engine core.
# Usage: build.sh [native] [win32|win64]...  (no architecture named: both)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
JOBS="${JOBS:-$(nproc)}"
# Clones of the tree in other folders share the compiler cache's work.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1
native=0
arches=()
for a in "$@"; do
  case "$a" in
    native) native=1 ;;
    win32|win64) arches+=("$a") ;;
    *) echo "build.sh: unknown argument $a" >&2; exit 2 ;;
  esac
done
[ ${#arches[@]} -gt 0 ] || arches=("${ARCHES[@]}")
for a in "${arches[@]}"; do
  dir="$(build_dir "$a")"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$a")" >/dev/null
  fi
  echo "== building $a"
  ninja -C "$dir" -j "$JOBS"
done
if [ $native -eq 1 ]; then
  if [ ! -f "$ROOT/build/native/build.ninja" ]; then
    cmake -S "$ROOT" -B "$ROOT/build/native" -G Ninja >/dev/null
  fi
  ninja -C "$ROOT/build/native" -j "$JOBS"
fi
