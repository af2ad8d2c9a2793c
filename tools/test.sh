#!/bin/sh
# Installs what is missing, builds, and runs every test suite.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_BUILD_DIR:-$ROOT/build}
"$ROOT/tools/deps.sh"
"$ROOT/tools/build.sh"
cd "$BUILD"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "${KINOVEX_JOBS:-$(nproc 2>/dev/null || echo 2)}"
