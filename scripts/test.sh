#!/usr/bin/env bash
# Sets up, builds and runs every test: the native unit tests (plain and under
# the sanitizers), the fuzz smoke run, and the Windows-side tests under Wine.
# Exit status is non-zero when anything fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
export HALVEX_BUILD=$build

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" all || { echo "test.sh: build failed" >&2; exit 1; }

failed=()
"$root/scripts/check-layers.sh" || failed+=("layers")
run_ctest() {   # tree, extra ctest arguments...
  local tree=$1; shift
  echo "== tests: $tree"
  ctest --test-dir "$build/$tree" --output-on-failure "$@" || failed+=("$tree")
}
run_ctest native -j 2
run_ctest asan -j 2
run_ctest fuzz
run_ctest win32

if [ ${#failed[@]} -gt 0 ]; then
  echo "test.sh: FAILED in: ${failed[*]}" >&2
  exit 1
fi
echo "test.sh: all tests passed"
