#!/bin/sh
# tools/run-console.sh on a good sample, on one that writes a record every
# second step, on a run whose last step is above 99999 and on two damaged
# copies: the exit status follows the solver's, a failed run shows the
# solver's message and never "Results written", a good run shows its final
# state with its record and step.
#   run_console_test.sh SOURCE-ROOT SOLVER WORK-FOLDER
set -u
ROOT=$1
export KINOVEX_SOLVER=$2
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
fails=0
fail() { echo "FAILED: $*"; fails=$((fails + 1)); }

out=$("$ROOT/tools/run-console.sh" "$ROOT/Samples/h2_air_1000K.txt" "$WORK/good" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "good sample: exit status $status"
echo "$out" | grep -q "Final state (record 139 of 139, step 139)" || fail "good sample: no final state"
# The burnt mixture: about 2692 K, water the largest product after N2.
echo "$out" | grep -q "temperature   2691\.[0-9][0-9] K" || fail "good sample: final temperature"
echo "$out" | grep -A2 "largest mass fractions" | tail -n 1 | grep -q "H2O  *2\.15" ||
  fail "good sample: second largest fraction"
echo "$out" | grep -q "NUMBER OF RECORDS =     139" || fail "good sample: statistics"

# A record every second step (line 28): the records are counted, the step
# of the last one is named as a step.
awk '{ if (NR == 28) printf " 2 !Delta N\r\n"; else print }' "$ROOT/Samples/h2_air_1000K.txt" > "$WORK/every2.txt"
out=$("$ROOT/tools/run-console.sh" "$WORK/every2.txt" "$WORK/every2" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "every second step: exit status $status"
echo "$out" | grep -q "Final state (record 71 of 71, step 139):" || fail "every second step: record and step"
echo "$out" | grep -q "NUMBER OF RECORDS =      71" || fail "every second step: statistics"

# A step above 99999, which the solver prints as "*****": a stand-in for
# the solver writes what it wrote for the good sample, the step of the last
# record printed so. The final state names the step as what it is.
cat > "$WORK/overflow-solver.sh" <<'SOLVER'
#!/bin/sh
file=$(head -n 1 SolverFilePath.txt | tr -d '\r')
awk '{ line[NR] = $0 } /^ *!\$End/ { last = NR - 1 }
  END { line[last] = substr(line[last], 1, 1) "*****" substr(line[last], 7)
        for (n = 1; n <= NR; n++) print line[n] }' "$GOOD_RUN" > "$file"
SOLVER
chmod +x "$WORK/overflow-solver.sh"
out=$(GOOD_RUN="$WORK/good/h2_air_1000K.txt" KINOVEX_SOLVER="$WORK/overflow-solver.sh" \
  "$ROOT/tools/run-console.sh" "$ROOT/Samples/h2_air_1000K.txt" "$WORK/overflow" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "step above 99999: exit status $status"
grep -q '^ \*\*\*\*\* ' "$WORK/overflow/h2_air_1000K.txt" || fail "step above 99999: no such step written"
echo "$out" | grep -q "Final state (record 139 of 139, step above 99999):" || fail "step above 99999: not named so"

# line 20: final time before the initial time (input error, exit 1);
# line 16: initial temperature above the maximum (model error, exit 2).
for case in "20|-1.000000E-01 !Final Time|1|final time" \
            "16| 1.000000E+05 !Initial Temperature|2|outside of the allowable range"; do
  line=${case%%|*}; rest=${case#*|}
  text=${rest%%|*}; rest=${rest#*|}
  want=${rest%%|*}; message=${rest#*|}
  bad="$WORK/bad$line.txt"
  awk -v n="$line" -v t="$text" '{ if (NR == n) printf "%s\r\n", t; else print }' \
    "$ROOT/Samples/h2_air_1000K.txt" > "$bad"
  out=$("$ROOT/tools/run-console.sh" "$bad" "$WORK/run$line" 2>&1)
  status=$?
  [ "$status" -eq "$want" ] || fail "line $line: exit status $status, not $want"
  echo "$out" | grep -q "$message" || fail "line $line: the solver's message is not shown"
  echo "$out" | grep -q "The solver failed (exit status $want)" || fail "line $line: failure not said"
  echo "$out" | grep -q "Results written" && fail "line $line: results claimed"
done

[ "$fails" -eq 0 ] && echo "all passed"
exit "$fails"
