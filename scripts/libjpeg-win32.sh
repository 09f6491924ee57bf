#!/usr/bin/env bash
# Cross-builds Debian's libjpeg-turbo source package as a static library for a
# MinGW target, into the build tree. Reuses a finished build.
# Usage: libjpeg-win32.sh <triplet> <out-dir>     (out-dir gets include/ and lib/)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
triplet=$1
out=$(realpath -m "$2")
[ -f "$out/lib/libjpeg.a" ] && [ -f "$out/include/jpeglib.h" ] && exit 0

work="$out.work"
mkdir -p "$work"
cd "$work"

if ! ls libjpeg-turbo_*.orig.tar.* >/dev/null 2>&1; then
  if ! apt-get source --download-only libjpeg-turbo >/dev/null 2>&1; then
    # No source entries yet: derive them from the machine's own Debian entries.
    [ "$(id -u)" -eq 0 ] || { echo "libjpeg: need root to enable apt source entries" >&2; exit 1; }
    "$here/apt-enable-sources.sh"
    apt-get update -q || true
    apt-get source --download-only libjpeg-turbo
  fi
fi

rm -rf src && mkdir src
tar -xf libjpeg-turbo_*.orig.tar.* -C src --strip-components=1
cmake -S src -B build -G "Unix Makefiles" \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_SYSTEM_PROCESSOR="${triplet%%-*}" \
  -DCMAKE_C_COMPILER="$triplet-gcc" \
  -DCMAKE_RC_COMPILER="$triplet-windres" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$out" \
  -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build build -j"$(nproc)" --target jpeg-static >/dev/null
mkdir -p "$out/include" "$out/lib"
cp src/jpeglib.h src/jmorecfg.h src/jerror.h build/jconfig.h "$out/include/"
cp build/libjpeg.a "$out/lib/libjpeg.a"
rm -rf src build
