#!/usr/bin/env bash
# Registers our spelling library for the installed Hunspell dictionaries, as the proofing
# tools' registry entries the program reads: each architecture's library in the prefix of that
# architecture (a program finds only a library it can load, in the registry view of its own
# architecture). Usage: register-dictionaries.sh [win32|win64]...  (default: every one built
# that runs here)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
arches=("$@")
if [ ${#arches[@]} -eq 0 ]; then
  for a in "${ARCHES[@]}"; do
    [ -f "$(build_dir "$a")/proofing/regspell.exe" ] && runnable "$a" && arches+=("$a")
  done
fi
for a in "${arches[@]}"; do
  TOOL="$(build_dir "$a")/proofing/regspell.exe"
  LIB="$(build_dir "$a")/proofing/PWSPELL.dll"
  [ -f "$TOOL" ] && [ -f "$LIB" ] || { echo "register-dictionaries: build the $a program first" >&2; exit 1; }
  "$(dirname "$0")/wineprefix.sh" "$a"
  # The prefix's server and services end before anything else uses the prefix: they were
  # started without a display, and a program that met them could create no window.
  # A registration that fails stops here: every spelling test after it would fail less clearly.
  (
    use_wine "$a"
    out="$("$WINE" "$TOOL" "$LIB" 'Z:\usr\share\hunspell' </dev/null)" || {
      echo "register-dictionaries: regspell failed for $a: $out" >&2
      exit 1
    }
    echo "$a: $(tail -n 1 <<<"$out")"
    wineserver -w
  )
done
