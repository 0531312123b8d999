#!/usr/bin/env bash
# Pictures of the ruler at work: two documents whose paragraphs have different indents, a
# marker being dragged (guide line and ghost) and the result. Saved as build/ruler-*.png.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ARCH="$(run_arch)"
"$ROOT/scripts/build.sh" "$ARCH"
"$ROOT/scripts/wineprefix.sh" "$ARCH"
use_wine "$ARCH"
"$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
EXE="$(build_dir "$ARCH")/tests/app/ruler_screens.exe"
STAGE="$ROOT/build/ruler-stage.txt"
rm -f "$STAGE"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$3" explorer /desktop=penwise,1024x768 "$0" "Z:$1" &
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
  wineserver -k || true' "$EXE" "$STAGE" "$ROOT/build" "$WINE"
