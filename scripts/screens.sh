#!/usr/bin/env bash
# Builds the program and saves pictures of the formatting and language commands at work
# (the format bar acting on text, the language combo box, the right-click corrections on a
# Russian word) as PNG files in build/screens, on a virtual display.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
PREFIX="$ROOT/build/wineprefix"
"$ROOT/scripts/wineprefix.sh" "$PREFIX"
[ -x "$ROOT/scripts/register-dictionaries.sh" ] && "$ROOT/scripts/register-dictionaries.sh" "$PREFIX"
export WINEPREFIX="$PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
OUT="$ROOT/build/screens"
rm -rf "$OUT" && mkdir -p "$OUT"
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  timeout 120 wine explorer /desktop=penwise,1024x768 "$0" "$(winepath -w "$1")" || true
  wineserver -k || true' "$ROOT/build/win/tests/app/penwise_screens.exe" "$OUT"
for f in "$OUT"/*.bmp; do convert "$f" "${f%.bmp}.png" && rm "$f"; done
ls "$OUT"
