#!/usr/bin/env bash
# Runs a Windows program under Wine with the build's own prefix.
# WINEPREFIX defaults to <build>/wineprefix next to this build tree.
set -e
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine-run.sh: WINEPREFIX is not set (run through scripts/test.sh)" >&2
  exit 2
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
