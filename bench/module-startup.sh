#!/usr/bin/env bash
# Whole batch runs of a small plan (the size of the sample project) by two
# builds of the program, timed in pairs in one run: the program as built
# (windows in a module it loads only for the windows) and another build
# given as FOLDED (the windows linked into the program). Prints the median
# wall time of each and the share the module saves.
#   bench/module-startup.sh PROGRAM FOLDED [ROUNDS]
set -euo pipefail
program="$1"
folded="$2"
rounds="${3:-41}"
source "$(dirname "$0")/scratch-home.sh"
plan="$scratch/plan.csv"
cat >"$plan" <<'CSV'
Task,% Compl.,Start,End,Category,Sub Task
Requirements,100,2027-01-04,2027-01-15,Design,
Review,50,2027-01-11,2027-01-15,Design,V
Prototype,20,2027-01-18,2027-02-05,Build,
Tests,0,2027-02-01,2027-02-19,Build,V
Release,0,2027-02-22,2027-02-26,Launch,
CSV

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>"$scratch/errors" || { cat "$scratch/errors" >&2; exit 1; }
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

for build in "$program" "$folded"; do "$build" --plan "$plan" --build-chart "$scratch/warm.xls"; done
: >"$scratch/times"
for ((round = 1; round <= rounds; ++round)); do
    a=$(seconds "$program" --plan "$plan" --build-chart "$scratch/a.xls")
    b=$(seconds "$folded" --plan "$plan" --build-chart "$scratch/b.xls")
    echo "$a $b" >>"$scratch/times"
done
python3 - "$scratch/times" <<'PY'
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
a, b = (statistics.median(column) for column in zip(*rows))
saved = statistics.median(r[1] - r[0] for r in rows)
print(f"rounds {len(rows)}")
print(f"with the module    {a * 1000:6.1f} ms (median), {min(r[0] for r in rows) * 1000:6.1f} ms best")
print(f"windows linked in  {b * 1000:6.1f} ms (median), {min(r[1] for r in rows) * 1000:6.1f} ms best")
print(f"the module saves   {saved * 1000:6.1f} ms a run (median of the pairs' differences), "
      f"{saved / b * 100:.1f} % of the folded run")
PY
