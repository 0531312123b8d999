#!/usr/bin/env bash
# Builds the engine core's fuzz target with clang's libFuzzer and runs it for a bounded number
# of inputs (and, with FUZZ_SECONDS, at most that long), seeded with our test dictionaries.
# Usage: fuzz.sh [RUNS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="$ROOT/build/fuzz"
mkdir -p "$OUT/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I"$ROOT/proofing/core" -I"$OUT" \
  "$ROOT/proofing/fuzz/FuzzDictionary.cpp" "$ROOT"/proofing/core/{Text,Dictionary,Checker,Suggest,TextCheck}.cpp \
  -o "$OUT/fuzz_dictionary" 2>/dev/null || {
  python3 "$ROOT/proofing/core/make_codepages.py" "$OUT/CodePages.inc"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I"$ROOT/proofing/core" -I"$OUT" \
    "$ROOT/proofing/fuzz/FuzzDictionary.cpp" "$ROOT"/proofing/core/{Text,Dictionary,Checker,Suggest,TextCheck}.cpp \
    -o "$OUT/fuzz_dictionary"
}
for base in affixes compound text cpdaffixes cpdjoints cpdtriple cpdrep turkish byteflags cpdsyllable cpdpattern cpdruleaffix complexprefixes \
    crossed flags spoken slips likeness nokey phone replace suggest; do
  d="$ROOT/tests/proofing/data/$base"
  { cat "$d.aff"; printf '\0'; cat "$d.dic"; printf '\0'; cat "$d.good" 2>/dev/null || sed 's/[=:].*//' "$d.sug" 2>/dev/null || true; } > "$OUT/corpus/$base"
done
"$OUT/fuzz_dictionary" -runs="${1:-20000}" -max_total_time="${FUZZ_SECONDS:-0}" -max_len=4096 "$OUT/corpus"
