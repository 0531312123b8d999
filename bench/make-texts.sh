#!/usr/bin/env bash
# Writes the benchmark texts into the folder given (default build/bench-texts): real prose
# shipped in Debian. ru, de, fr: the translations in /usr/share/locale/LL/LC_MESSAGES/*.mo
# (their msgstr strings); en: the GPL-3 and Apache-2.0 licences and the msgid strings.
set -euo pipefail
OUT="${1:-$(cd "$(dirname "$0")/.." && pwd)/build/bench-texts}"
mkdir -p "$OUT"
for L in de fr ru; do
  for f in /usr/share/locale/$L/LC_MESSAGES/*.mo; do msgunfmt "$f" 2>/dev/null | grep -a '^msgstr' || true; done > "$OUT/$L.txt"
done
{
  cat /usr/share/common-licenses/GPL-3 /usr/share/common-licenses/Apache-2.0
  for f in /usr/share/locale/de/LC_MESSAGES/*.mo; do msgunfmt "$f" 2>/dev/null | grep -a '^msgid' || true; done
} > "$OUT/en.txt"
wc -c "$OUT"/*.txt
