#!/usr/bin/env bash
# Configures and builds one or more build trees under build/ (or $HALVEX_BUILD).
# Usage: build.sh [native|asan|fuzz|win32|win64|all]...   (default: all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${HALVEX_BUILD:-$root/build}
jobs=${HALVEX_JOBS:-$(nproc)}

configure() {   # tree, extra cmake arguments...
  local tree=$1; shift
  if [ ! -f "$build/$tree/build.ninja" ]; then
    cmake -S "$root" -B "$build/$tree" -G Ninja "$@" >/dev/null
  fi
  cmake --build "$build/$tree" -j "$jobs"
}

build_tree() {
  case $1 in
    native) configure native ;;
    asan)   configure asan -DHALVEX_SANITIZE=ON ;;
    fuzz)   "$root/scripts/libjpeg.sh" fuzz "$build/deps/libjpeg-fuzz"
            configure fuzz -DHALVEX_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
                           -DHALVEX_LIBJPEG_DIR="$build/deps/libjpeg-fuzz" ;;
    win32)  "$root/scripts/libjpeg.sh" i686-w64-mingw32 "$build/deps/libjpeg-i686"
            configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
                            -DHALVEX_LIBJPEG_DIR="$build/deps/libjpeg-i686" ;;
    win64)  "$root/scripts/libjpeg.sh" x86_64-w64-mingw32 "$build/deps/libjpeg-x86_64"
            configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" \
                            -DHALVEX_LIBJPEG_DIR="$build/deps/libjpeg-x86_64" -DHALVEX_WINE_TESTS=OFF ;;
    all)    for t in native asan fuzz win32 win64; do build_tree $t; done ;;
    *)      echo "build.sh: unknown tree '$1'" >&2; exit 2 ;;
  esac
}

[ $# -gt 0 ] || set -- all
for tree in "$@"; do build_tree "$tree"; done
