#!/usr/bin/env bash
# Registers our spelling library for the installed Hunspell dictionaries in the Wine prefix,
# as the proofing tools' registry entries the program reads. Usage: register-dictionaries.sh PREFIX
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="$(cd "$1" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
TOOL="$ROOT/build/win/proofing/regspell.exe"
LIB="$ROOT/build/win/proofing/PWSPELL.dll"
[ -f "$TOOL" ] && [ -f "$LIB" ] || { echo "register-dictionaries: build the program first" >&2; exit 1; }
wine "$TOOL" "$LIB" 'Z:\usr\share\hunspell' </dev/null | tail -n 1
