#!/usr/bin/env bash
# Configures and builds the Windows program (and, with "native", the portable engine core).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build"
JOBS="${JOBS:-$(nproc)}"
if [ ! -f "$BUILD/win/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-mingw.cmake" >/dev/null
fi
ninja -C "$BUILD/win" -j "$JOBS"
if [ "${1:-}" = "native" ]; then
  if [ ! -f "$BUILD/native/build.ninja" ]; then
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja >/dev/null
  fi
  ninja -C "$BUILD/native" -j "$JOBS"
fi
