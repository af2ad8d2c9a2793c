#!/bin/sh
# Builds every program and test a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer (build type Sanitize, in build-sanitize/) and
# runs every test: any error they find, a leak included, fails its test.
# Reports of Qt's and the system's own leaks are suppressed by
# tools/sanitizer/lsan.supp, nothing of ours.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}
JOBS=${KINOVEX_JOBS:-$(nproc 2>/dev/null || echo 2)}
"$ROOT/tools/deps.sh"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Sanitize -DKINOVEX_BUILD_BENCH=OFF
fi
cmake --build "$BUILD" -j "$JOBS"
cd "$BUILD"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1 \
LSAN_OPTIONS=suppressions="$ROOT/tools/sanitizer/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS"
