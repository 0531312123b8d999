#!/usr/bin/env bash
# Creates (once) the Wine prefix an architecture's programs and tests run in, and makes it look
# like Windows to the program: the usual font faces exist and no crash dialog blocks a test.
# Usage: wineprefix.sh win32|win64   (the prefix is build/wineprefix-ARCH)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
ARCH="${1:?usage: wineprefix.sh win32|win64}"
use_wine "$ARCH"
if [ -f "$WINEPREFIX/.penwise-ready" ]; then exit 0; fi
echo "wineprefix: creating $WINEPREFIX ($ARCH)"
mkdir -p "$WINEPREFIX"
"$WINE" wineboot -i >/dev/null 2>&1 || true
wineserver -w
# Wine's own faces (Tahoma, Marlett for the caption buttons, Small Fonts) into the prefix.
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
reg_add() { "$WINE" reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }
R='HKCU\Software\Wine\Fonts\Replacements'
reg_add "$R" "Arial" "Liberation Sans"
reg_add "$R" "Times New Roman" "Liberation Serif"
reg_add "$R" "Courier New" "Liberation Mono"
reg_add "$R" "Comic Sans MS" "Comic Neue"
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# Web pages open in the browser as on Windows: Wine registers the "htmlfile" type (its open
# command starts winebrowser) but, without its HTML engine, not the extensions that use it.
for ext in .htm .html; do
  "$WINE" reg query "HKCR\\$ext" /ve >/dev/null 2>&1 || "$WINE" reg add "HKCR\\$ext" /ve /d htmlfile /f >/dev/null 2>&1 || true
done
wineserver -w
touch "$WINEPREFIX/.penwise-ready"
