#!/usr/bin/env bash
# Builds everything and runs every test: the portable engine core natively, then the Windows
# program's tests under Wine, each architecture's build in its own prefix, with one virtual X
# display per architecture. The 64-bit tests always run; the 32-bit ones where the machine can
# run 32-bit programs (otherwise a line says why they were skipped).
#
# While working on one part: `scripts/test.sh win64 -R LiveSpeller` builds that architecture
# only and passes what follows to CTest (the native tests and the fuzz run are left out).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$ROOT/scripts/setup.sh"
only=""
if [ "${1:-}" = win32 ] || [ "${1:-}" = win64 ]; then
  only="$1"
  shift
  "$ROOT/scripts/build.sh" "$only"
else
  "$ROOT/scripts/build.sh" native
fi

status=0
if [ -n "$only" ]; then :
elif [ -n "$(ctest --test-dir "$ROOT/build/native" -N 2>/dev/null | grep -E '^  Test +#')" ]; then
  echo "== native tests"
  ctest --test-dir "$ROOT/build/native" --output-on-failure -j 2 || status=1
fi
[ -n "$only" ] || { echo "== fuzzing the engine core" && { "$ROOT/scripts/fuzz-ci.sh" || status=1; }; }

for arch in ${only:-win64 win32}; do
  why="$(why_not_runnable "$arch")"
  if [ -n "$why" ]; then
    if [ "$arch" = win64 ]; then
      echo "== the 64-bit tests cannot run: $why" >&2
      status=1
    else
      echo "== 32-bit tests SKIPPED: $why (the 32-bit program was built; its tests run where it can)"
    fi
    continue
  fi
  "$ROOT/scripts/register-dictionaries.sh" "$arch"
  echo "== Windows tests of the $arch build under $arch Wine"
  use_wine "$arch"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineserver -p 30
    # Start the prefix services now, detached from the test output: a service that inherited
    # the output pipe of a test would keep CTest waiting for that test.
    "$1" wineboot </dev/null >/dev/null 2>&1
    # No window manager runs here: unmanaged windows spare each hidden window the two seconds
    # Wine would wait for a window manager to acknowledge it. (The run command undoes this.)
    "$1" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    ctest --test-dir "$0" --output-on-failure -j 2 "${@:2}"
    rc=$?
    wineserver -k || true
    exit $rc' "$(build_dir "$arch")" "$WINE" "$@" || status=1
done
# The installers: built for both architectures, the 64-bit one installed, run and removed in a
# fresh prefix.
if [ -z "$only" ]; then
  echo "== the installers"
  "$ROOT/scripts/installer-test.sh" || status=1
fi
exit $status
