#!/usr/bin/env bash
# Runs the settings store fuzzer for a given time and prints its figures.
# Usage: fuzz.sh [seconds]   (default 600); the corpus stays in build/fuzz.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
seconds=${1:-600}
"$root/scripts/build.sh" fuzz >/dev/null
corpus="$build/fuzz/tests/fuzz/corpus"
mkdir -p "$corpus" "$build/fuzz/crashes"
exec "$build/fuzz/tests/fuzz/storage_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
  -rss_limit_mb=2048 -artifact_prefix="$build/fuzz/crashes/" "$corpus"
