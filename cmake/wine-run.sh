#!/usr/bin/env bash
# Runs a Windows program under the Wine of its architecture with the build's own prefix.
# Usage: wine-run.sh win32|win64 PROGRAM [ARGS...]  (WINEPREFIX comes from scripts/test.sh)
set -e
ARCH="$1"
shift
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set (run through scripts/test.sh)" >&2
  exit 2
fi
# Debian's /usr/bin/wine takes the 32-bit loader whenever it is installed, even for a 64-bit
# program and even where the kernel cannot run it: call the loader of the architecture.
case "$ARCH" in
  win64) LOADER=/usr/lib/wine/wine64 ;;
  *) LOADER=/usr/lib/wine/wine ;;
esac
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec "$LOADER" "$@"
