#!/usr/bin/env bash
# Makes what a Windows user downloads, per architecture: the installer
# (build/dist/Penwise-VERSION-x86-setup.exe, ...-x64-setup.exe) and a zip of the same files
# (Penwise-VERSION-x86.zip, ...-x64.zip), after building what they hold.
# Usage: installers.sh [win32|win64]...   (none named: both)
# (scripts/package.sh packs one build that is already made; the build's "installer" target
# runs it.)
set -euo pipefail
source "$(dirname "$0")/lib.sh"

arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(win32 win64)
for a in "${arches[@]}"; do
  case "$a" in win32|win64) ;; *) echo "installers.sh: unknown architecture $a" >&2; exit 2 ;; esac
done
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" "${arches[@]}"
for a in "${arches[@]}"; do "$ROOT/scripts/package.sh" "$a"; done
