#!/usr/bin/env bash
# Builds Debian's libjpeg-turbo source package as a static library into the build
# tree: cross-built for a MinGW target, or natively with clang and the fuzzer's
# instrumentation, so that the fuzz run is guided through the decoder's own code and
# the sanitizers see inside it. Reuses a finished build.
# Usage: libjpeg.sh <triplet>|fuzz <out-dir>     (out-dir gets include/ and lib/)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=$1
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
if [ "$target" = fuzz ]; then
  flags="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -g"
  platform=(-DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags")
else
  platform=(-DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="${target%%-*}"
            -DCMAKE_C_COMPILER="$target-gcc" -DCMAKE_RC_COMPILER="$target-windres")
fi
cmake -S src -B build -G "Unix Makefiles" "${platform[@]}" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$out" \
  -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build build -j"$(nproc)" --target jpeg-static >/dev/null
mkdir -p "$out/include" "$out/lib"
cp src/jpeglib.h src/jmorecfg.h src/jerror.h build/jconfig.h "$out/include/"
cp build/libjpeg.a "$out/lib/libjpeg.a"
rm -rf src build
