#!/bin/sh
# Installs what is missing, builds, and starts the program on its Samples.
# Without a display it says so and runs the console solver on a copy of a
# sample instead (tools/run-console.sh), ending with the solver's status.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_BUILD_DIR:-$ROOT/build}
"$ROOT/tools/deps.sh"
"$ROOT/tools/build.sh" KinovexRed KINOVEX_SOLVER
BIN="$BUILD/bin"
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
  if [ -x "$BIN/KinovexRed" ]; then
    cd "$BIN" && exec ./KinovexRed
  fi
fi
echo "No display found: running the console solver on Samples/h2_air_1000K.txt instead."
exec "$ROOT/tools/run-console.sh" "$ROOT/Samples/h2_air_1000K.txt" "$BUILD/run"
