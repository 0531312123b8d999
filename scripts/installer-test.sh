#!/usr/bin/env bash
# The installers as a Windows user meets them. Both are built; each one's file list is checked
# against the zip of the same architecture. The 64-bit one is then installed silently into a
# fresh Wine prefix, the installed program is started as its own process with a document
# holding a misspelt English word and its spelling dialog must offer the right word (the engine
# and dictionary found through the registration the installer made: the prefix has no other),
# and the silent uninstallation must leave no file and no registry value of ours but the
# user's own data (the folder of the custom dictionary).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
"$ROOT/scripts/installers.sh" win32 win64
DIST="$ROOT/build/dist"
version="$(cat "$(build_dir win64)/VERSION")"
status=0
fail() { echo "installer-test: FAILED: $*" >&2; status=1; }

# The files of each installer: those of its zip, and the uninstaller it writes.
for label in x86 x64; do
  setup="$DIST/Penwise-$version-$label-setup.exe"
  zipfile="$DIST/Penwise-$version-$label.zip"
  got="$(7z l -ba -slt "$setup" | sed -n 's/^Path = //p' | grep -v '^\$PLUGINSDIR' | tr '\\' '/' | sort)"
  want="$( (unzip -Z1 "$zipfile" | sed 's|^Penwise/||'; echo uninstall.exe) | sort)"
  if [ "$got" != "$want" ]; then
    fail "$label installer's files differ from its zip's:"; diff <(echo "$want") <(echo "$got") >&2 || true
  else
    echo "installer-test: $label installer holds $(echo "$got" | wc -l) files, as its zip"
  fi
done

arch=win64
use_wine "$arch"
export WINEPREFIX="$ROOT/build/wineprefix-installtest-$arch"
rm -rf "$WINEPREFIX"
setup="$DIST/Penwise-$version-x64-setup.exe"
tests="$(build_dir "$arch")/tests/app/app_e2e_tests.exe"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -u
  WINE="$1"; setup="$2"; tests="$3"
  fail() { echo "installer-test: FAILED: $*" >&2; status=1; }
  status=0
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  "$WINE" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
  user_dir="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -1)"
  user_dir="${user_dir%/AppData/Local}"
  dir="$user_dir/AppData/Local/Programs/Penwise"
  menu="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Penwise.lnk"
  dump() { "$WINE" regedit /E "C:\\$1.reg" "$2" >/dev/null 2>&1; iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/$1.reg" | tr -d "\r"; }

  "$WINE" "$setup" /S </dev/null >/dev/null 2>&1 || fail "the silent installation ended with $?"
  wineserver -w
  for f in penwise.exe PWSPELL.dll regspell.exe README.txt uninstall.exe dictionaries/en_US.dic dictionaries/en_US.licence.txt; do
    [ -f "$dir/$f" ] || fail "not installed: $f"
  done
  [ -f "$menu" ] || fail "no Start menu shortcut"
  dump hkcu HKEY_CURRENT_USER >"$WINEPREFIX/hkcu-installed.txt"
  for k in "Software\\\\Classes\\\\Applications\\\\penwise.exe\\\\shell\\\\open\\\\command" \
           "Software\\\\Classes\\\\.rtf\\\\OpenWithList\\\\penwise.exe" \
           "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Penwise" \
           "Shared Tools\\\\Proofing Tools\\\\Spelling\\\\1033\\\\Normal"; do
    grep -q "$k\]" "$WINEPREFIX/hkcu-installed.txt" || fail "no key ending $k for the user"
  done
  echo "installer-test: installed into ${dir#$WINEPREFIX/}: $(cd "$dir" && find . -type f | wc -l) files"

  PENWISE_INSTALLED=x64 "$WINE" "$tests" --gtest_filter="Installed.*" </dev/null || fail "the installed program"

  "$WINE" "$dir/uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "the silent uninstallation ended with $?"
  wineserver -w
  [ ! -e "$dir" ] || fail "left behind: $(cd "$dir" && find . | tr "\n" " ")"
  [ ! -e "$menu" ] || fail "the Start menu shortcut is left"
  [ -d "$user_dir/AppData/Roaming/Penwise" ] || fail "the folder of the user'"'"'s custom dictionary went"
  left="$( (dump hkcu HKEY_CURRENT_USER; dump hklm HKEY_LOCAL_MACHINE) | grep -iE "penwise|pwspell|proofing tools" | grep -v "PenwiseTests" || true)"
  [ -z "$left" ] || fail "registry left behind: $left"
  echo "installer-test: uninstalled; kept the user'"'"'s folder AppData/Roaming/Penwise"
  wineserver -k || true
  exit $status' _ "$WINE" "$setup" "$tests" || status=1
[ $status -eq 0 ] && echo "installer-test: passed" || echo "installer-test: FAILED"
exit $status
