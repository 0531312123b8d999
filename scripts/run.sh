#!/usr/bin/env bash
# Builds Penwise and runs it: the 32-bit program where this machine runs 32-bit programs, the
# 64-bit one otherwise (PENWISE_ARCH=win32|win64 chooses). On $DISPLAY when there is one;
# otherwise on a virtual display, saving a screenshot of the started program.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$ROOT/scripts/setup.sh"
ARCH="$(run_arch)"
why="$(why_not_runnable "$ARCH")"
[ -z "$why" ] || { echo "run: the $ARCH program cannot run here: $why" >&2; exit 1; }
"$ROOT/scripts/build.sh" "$ARCH"
"$ROOT/scripts/register-dictionaries.sh" "$ARCH"
use_wine "$ARCH"
# Windows are managed by the desktop's window manager (the tests turn that off).
"$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
EXE="$(build_dir "$ARCH")/app/penwise.exe"
echo "run: the $ARCH program, $EXE"
if [ -n "${DISPLAY:-}" ]; then
  exec "$WINE" "$EXE" "$@"
fi
SHOT="$ROOT/build/penwise-screenshot.png"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$2" explorer /desktop=penwise,1024x768 "$0" &
  for i in $(seq 1 60); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"Penwise v 1.5\"" && break
    sleep 1
  done
  sleep 2
  import -window root "$1"
  wineserver -k || true' "$EXE" "$SHOT" "$WINE"
echo "No display: Penwise ran on a virtual display; its screenshot is $SHOT"
