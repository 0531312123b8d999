#!/usr/bin/env bash
# Packs one architecture's build into what a Windows user downloads: the installer
# (build/dist/Penwise-VERSION-x86-setup.exe or ...-x64-setup.exe) and a zip of the same files
# (Penwise-VERSION-x86.zip or ...-x64.zip). The dictionaries and their licences come from
# Debian's hunspell packages (scripts/setup.sh installs them, and nsis and zip).
# Usage: package.sh win32|win64 [BUILD_DIR]   (default: build/win32 or build/win64, built)
# The same sources and packages give the same bytes: the programs carry no link time, the
# installer no file times, the zip fixed times and order.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
arch="${1:-}"
case "$arch" in win32|win64) ;; *) echo "usage: package.sh win32|win64 [BUILD_DIR]" >&2; exit 2 ;; esac
build="${2:-$(build_dir "$arch")}"
DIST="$ROOT/build/dist"
HUNSPELL=/usr/share/hunspell
DOC=/usr/share/doc
mkdir -p "$DIST"
export TZ=UTC LC_ALL=C
# Every staged file gets this time (the version's commit time where there is one).
EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600)"
# strip writes this time into the image header instead of the time it runs.
export SOURCE_DATE_EPOCH="$EPOCH"

# The stanza of a Debian copyright file for Files, after the file's header paragraph.
stanza() {
  local file="$1" files="$2"
  awk -v want="Files: $files" '
    NR == 1, /^$/ { print; next }
    $0 == want { on = 1; print ""; print; next }
    on && /^Files:/ { exit }
    on { print }' "$file"
}

stage_dictionaries() {
  local d="$1"
  mkdir -p "$d"
  cp "$HUNSPELL/en_US.dic" "$HUNSPELL/en_US.aff" "$HUNSPELL/en_GB.dic" "$HUNSPELL/en_GB.aff" \
     "$HUNSPELL/de_DE.dic" "$HUNSPELL/de_DE.aff" "$HUNSPELL/ru_RU.dic" "$HUNSPELL/ru_RU.aff" "$d/"
  # The French dictionary serves every French locale; registered as French (France).
  cp "$HUNSPELL/fr.dic" "$d/fr_FR.dic"
  cp "$HUNSPELL/fr.aff" "$d/fr_FR.aff"
  # en_US: the package's whole copyright text. en_GB and ru_RU come from one large source
  # package: the header and their own stanzas. de_DE is GPL-2+: its notice and the GPL-2 text.
  # fr: its notice and the MPL-2.0 text it refers to.
  cp "$DOC/hunspell-en-us/copyright" "$d/en_US.licence.txt"
  stanza "$DOC/hunspell-en-gb/copyright" "dictionaries/en/*" >"$d/en_GB.licence.txt"
  stanza "$DOC/hunspell-ru/copyright" "dictionaries/ru_RU/*" >"$d/ru_RU.licence.txt"
  cp "$DOC/hunspell-de-de/copyright" "$d/de_DE.licence.txt"
  cp /usr/share/common-licenses/GPL-2 "$d/GPL-2.txt"
  cp "$DOC/hunspell-fr/copyright" "$d/fr_FR.licence.txt"
  cp /usr/share/common-licenses/MPL-2.0 "$d/MPL-2.0.txt"
  for f in "$d"/*.txt; do
    grep -q . "$f" || { echo "installers.sh: empty licence text $f" >&2; exit 1; }
  done
}

version="$(cat "$build/VERSION")"
if [ "$arch" = win32 ]; then label=x86; triple=i686-w64-mingw32; runs="32-bit and 64-bit Windows"
else label=x64; triple=x86_64-w64-mingw32; runs="64-bit Windows"; fi
stage="$DIST/stage-$label/Penwise"
rm -rf "$DIST/stage-$label"
mkdir -p "$stage"
# The programs without their debugging information (the build keeps it).
for f in app/penwise.exe proofing/PWSPELL.dll proofing/regspell.exe; do
  "$triple-strip" -o "$stage/$(basename "$f")" "$build/$f"
done
cp "$build/app/generated/penwise.ico" "$stage/penwise.ico"
sed -e "s/@VERSION@/$version/g" -e "s/@ARCH@/$label/g" -e "s/@RUNS_ON@/$runs/" \
    "$ROOT/packaging/README.txt" | sed 's/$/\r/' >"$stage/README.txt"
cp "$ROOT/packaging/register-dictionaries.cmd" "$stage/"
stage_dictionaries "$stage/dictionaries"
find "$DIST/stage-$label" -exec touch -h -d "@$EPOCH" {} +

setup="$DIST/Penwise-$version-$label-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DARCH="$label" -DSTAGE="$stage" -DOUTFILE="$setup" \
  "$ROOT/packaging/penwise.nsi"

zipfile="$DIST/Penwise-$version-$label.zip"
rm -f "$zipfile"
(cd "$DIST/stage-$label" && find Penwise -type f ! -name penwise.ico | sort | zip -q -X -D "$zipfile" -@)
echo "package: $setup ($(stat -c %s "$setup") bytes), $zipfile ($(stat -c %s "$zipfile") bytes)"
