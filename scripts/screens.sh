#!/usr/bin/env bash
# Builds the program and saves pictures of the formatting and language commands at work
# (the format bar acting on text, the language combo box, the right-click corrections on a
# Russian word) as PNG files in build/screens, on a virtual display.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$ROOT/scripts/setup.sh"
ARCH="$(run_arch)"
"$ROOT/scripts/build.sh" "$ARCH"
"$ROOT/scripts/register-dictionaries.sh" "$ARCH"
use_wine "$ARCH"
OUT="$ROOT/build/screens"
rm -rf "$OUT" && mkdir -p "$OUT"
"$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  timeout 120 "$2" explorer /desktop=penwise,1024x768 "$0" "$("$2" winepath -w "$1")" || true
  wineserver -k || true' "$(build_dir "$ARCH")/tests/app/penwise_screens.exe" "$OUT" "$WINE"
for f in "$OUT"/*.bmp; do convert "$f" "${f%.bmp}.png" && rm "$f"; done
ls "$OUT"
