#!/usr/bin/env bash
# A short fuzzing run for every test run: the dictionary parser, the checker and the
# suggestions on random input for at most FUZZ_SECONDS (default 30) seconds.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v clang++ >/dev/null; then echo "fuzz: clang++ not installed, skipped"; exit 0; fi
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" "$ROOT/scripts/fuzz.sh" 1000000000 2>&1 | tail -n 5
