#!/usr/bin/env bash
# Pictures of the ruler at work: two documents whose paragraphs have different indents, a
# marker being dragged (guide line and ghost) and the result. Saved as build/ruler-*.png.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
"$ROOT/scripts/build.sh"
PREFIX="$ROOT/build/wineprefix"
"$ROOT/scripts/wineprefix.sh" "$PREFIX"
export WINEPREFIX="$PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
EXE="$ROOT/build/win/tests/app/ruler_screens.exe"
STAGE="$ROOT/build/ruler-stage.txt"
rm -f "$STAGE"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wine explorer /desktop=penwise,1024x768 "$0" "Z:$1" &
  for n in 1 2 3; do
    for i in $(seq 1 600); do [ -f "$1" ] && break; sleep 0.1; done
    [ -f "$1" ] || break
    sleep 1
    name=$(cat "$1")
    import -window root "$2/ruler-$name.png"
    echo "$2/ruler-$name.png"
    rm -f "$1"
  done
  wait || true
  wineserver -k || true' "$EXE" "$STAGE" "$ROOT/build"
