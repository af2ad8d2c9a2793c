#!/bin/sh
# Runs the console solver on a copy of a solver file and tells how the run
# ended: on success the final state of the last results record (time,
# temperature and the largest mass fractions), on failure the solver's own
# message, with the solver's non-zero exit status.
#
#   tools/run-console.sh [SOLVER-FILE [FOLDER]]
#
# SOLVER-FILE defaults to Samples/h2_air_1000K.txt; the copy and
# SolverFilePath.txt go into FOLDER (default build/run). The solver is taken
# from $KINOVEX_SOLVER, else build/bin/KINOVEX_SOLVER.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${KINOVEX_BUILD_DIR:-$ROOT/build}
SOURCE=${1:-$ROOT/Samples/h2_air_1000K.txt}
RUN=${2:-$BUILD/run}
SOLVER=${KINOVEX_SOLVER:-$BUILD/bin/KINOVEX_SOLVER}

if [ ! -f "$SOURCE" ]; then
  echo "No solver file '$SOURCE'." >&2
  exit 1
fi
if [ ! -x "$SOLVER" ]; then
  echo "No solver program '$SOLVER': build it first (tools/build.sh)." >&2
  exit 1
fi
mkdir -p "$RUN"
RUN=$(cd "$RUN" && pwd)
FILE="$RUN/$(basename "$SOURCE")"
if [ "$(cd "$(dirname "$SOURCE")" && pwd)/$(basename "$SOURCE")" != "$FILE" ]; then
  cp "$SOURCE" "$FILE"
fi
printf '%s\r\n' "$FILE" > "$RUN/SolverFilePath.txt"

echo "Running the console solver on $FILE"
status=0
(cd "$RUN" && "$SOLVER") > "$RUN/solver-console.txt" 2>&1 || status=$?
# The console's progress lines end in CR for in-place updates: show them
# as lines, the last 40 at most (a failed run's message is among them).
tr '\r' '\n' < "$RUN/solver-console.txt" | sed 's/ *$//' | grep -v '^$' | tail -n 40 || true
echo

if [ "$status" -ne 0 ]; then
  echo "The solver failed (exit status $status): its message is above."
  exit "$status"
fi

tr -d '\r' < "$FILE" | awk '
  # Species count: line 10 of the header.
  NR == 10 { species = $1 + 0 }
  /^ *!\$Results/ { inResults = 1; names = 0; values = 0; next }
  /^ *!\$End/ { inResults = 0; next }
  inResults {
    for (i = 1; i <= NF; i++) {
      # The heading names the columns (step, time, T, then every species);
      # the records follow, 3 + species values each.
      if (names < species + 3) { name[++names] = $i; continue }
      value[values % (species + 3) + 1] = $i
      values++
      if (values % (species + 3) == 0) {
        for (k = 1; k <= species + 3; k++) last[k] = value[k]
        records++
      }
    }
  }
  END {
    if (records == 0) {
      print "The solver ended without writing results into the file."
      exit 1
    }
    # The record is counted here; its first value is the step it was
    # written at (a file may write one record every few steps), which the
    # solver prints as "*****" above 99999.
    step = last[1] ~ /^\*+$/ ? "step above 99999" : sprintf("step %d", last[1])
    printf "Final state (record %d of %d, %s):\n", records, records, step
    printf "  time          %.6e s\n", last[2] + 0
    printf "  temperature   %.2f K\n", last[3] + 0
    print  "  largest mass fractions:"
    # The largest eight species fractions, largest first.
    for (n = 1; n <= 8 && n <= species; n++) {
      best = 0
      for (k = 4; k <= species + 3; k++)
        if (!(k in taken) && (best == 0 || last[k] + 0 > last[best] + 0)) best = k
      taken[best] = 1
      printf "    %-16s %.6e\n", name[best], last[best] + 0
    }
  }'
echo
echo "Results written into $FILE"
tr -d '\r' < "$FILE" | sed -n '/^ *STATISTICS/,$p'
