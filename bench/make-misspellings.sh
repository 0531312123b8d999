#!/usr/bin/env bash
# Real misspellings in languages other than English: the autocorrect word lists of Debian's
# libreoffice-common package (typos mapped to their corrections, one list per language). The
# package is not installed: it is fetched with apt-get download and unpacked into OUT, and
# each list is written as OUT/LANG.xml (for proofing_bench --misspellings).
# Usage: bench/make-misspellings.sh [OUT]   (default build/misspellings)
set -euo pipefail
OUT="$(mkdir -p "${1:-build/misspellings}" && cd "${1:-build/misspellings}" && pwd)"
cd "$OUT"
if ! ls libreoffice-common_*.deb >/dev/null 2>&1; then
  apt-get download libreoffice-common
fi
rm -rf pkg
dpkg-deb -x libreoffice-common_*.deb pkg
for f in pkg/usr/lib/libreoffice/share/autocorr/acor_*.dat; do
  lang="$(basename "$f" .dat)"
  unzip -p "$f" DocumentList.xml > "${lang#acor_}.xml"
done
rm -rf pkg
ls "$OUT"/*.xml | wc -l
