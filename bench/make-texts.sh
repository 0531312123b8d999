#!/usr/bin/env bash
# Writes the benchmark texts into the folder given (default build/bench-texts): real prose
# shipped in Debian. For every language with translations in /usr/share/locale/LL/LC_MESSAGES
# (*.mo), LL.txt holds their msgstr strings; en.txt holds the GPL-3 and Apache-2.0 licences
# and the msgid strings.
set -euo pipefail
OUT="${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench-texts}"
mkdir -p "$OUT"
for dir in /usr/share/locale/*/LC_MESSAGES; do
  L="$(basename "$(dirname "$dir")")"
  case "$L" in en|en_US|en@*) continue ;; esac
  ls "$dir"/*.mo >/dev/null 2>&1 || continue
  for f in "$dir"/*.mo; do msgunfmt "$f" 2>/dev/null | grep -a '^msgstr' || true; done > "$OUT/$L.txt"
done
{
  cat /usr/share/common-licenses/GPL-3 /usr/share/common-licenses/Apache-2.0
  for f in /usr/share/locale/de/LC_MESSAGES/*.mo; do msgunfmt "$f" 2>/dev/null | grep -a '^msgid' || true; done
} > "$OUT/en.txt"
ls "$OUT" | wc -l
