#!/bin/sh
# Configures and builds the whole project into build/ (Release).
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD" -j "$JOBS"
