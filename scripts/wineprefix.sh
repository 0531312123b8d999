#!/usr/bin/env bash
# Creates (once) the Wine prefix the program and its tests run in, and makes it look like
# Windows to the program: the usual font faces exist and no crash dialog blocks a test.
# Usage: wineprefix.sh PREFIX
set -euo pipefail
mkdir -p "$1"; PREFIX="$(cd "$1" && pwd)"
export WINEPREFIX="$PREFIX" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -f "$PREFIX/.penwise-ready" ]; then exit 0; fi
echo "wineprefix: creating $PREFIX"
mkdir -p "$PREFIX"
wineboot -i >/dev/null 2>&1 || true
wineserver -w
# Wine's own faces (Tahoma, Marlett for the caption buttons, Small Fonts) into the prefix.
if [ -d /usr/share/wine/fonts ]; then
  cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$PREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
fi
reg_add() { wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }
R='HKCU\Software\Wine\Fonts\Replacements'
reg_add "$R" "Arial" "Liberation Sans"
reg_add "$R" "Times New Roman" "Liberation Serif"
reg_add "$R" "Courier New" "Liberation Mono"
reg_add "$R" "Comic Sans MS" "Comic Neue"
reg_add 'HKCU\Software\Wine\WineDbg' "ShowCrashDialog" "0"
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
# Web pages open in the browser as on Windows: Wine registers the "htmlfile" type (its open
# command starts winebrowser) but, without its HTML engine, not the extensions that use it.
for ext in .htm .html; do
  wine reg query "HKCR\\$ext" /ve >/dev/null 2>&1 || wine reg add "HKCR\\$ext" /ve /d htmlfile /f >/dev/null 2>&1 || true
done
wineserver -w
touch "$PREFIX/.penwise-ready"
