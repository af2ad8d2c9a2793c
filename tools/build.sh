#!/bin/sh
# Configures and builds the project into build/ (Release): every target, or
# only the targets named as arguments.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_BUILD_DIR:-$ROOT/build}
# KINOVEX_JOBS sets the number of parallel build jobs (default: every core).
JOBS=${KINOVEX_JOBS:-$(nproc 2>/dev/null || echo 2)}
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
if [ $# -gt 0 ]; then
  cmake --build "$BUILD" -j "$JOBS" --target "$@"
else
  cmake --build "$BUILD" -j "$JOBS"
fi
