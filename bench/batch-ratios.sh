#!/usr/bin/env bash
# Whole batch runs of a 1,000-task plan, timed in pairs in one run: each
# round runs the .xls build, then the .xlsx build, then the .xls build with
# --pdf, one right after the other, so that the machine's load falls on all
# three alike. Prints the median wall time of each and the two ratios.
# Each round also times bench/start-floor and bench/pdf-floor: what the
# second takes beyond the first is Qt's PDF writer alone on pages like the
# plan's, a cost no PDF run made with it can avoid, so the PDF ratio can
# never fall below (.xls run + that cost) / .xls run.
#   bench/batch-ratios.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
build="${1:-build}"
rounds="${2:-9}"
program="$(cd "$build" && pwd)/src/orvantis"
start_floor="$(cd "$build" && pwd)/bench/qt_start_floor"
pdf_floor="$(cd "$build" && pwd)/bench/qt_pdf_floor"
source "$(dirname "$0")/scratch-home.sh"

# 10 categories of 100 tasks, every fifth a sub-task; ISO dates read alike in
# every locale.
plan="$scratch/plan.csv"
python3 - "$plan" <<'PY'
import datetime, sys
start = datetime.date(2027, 1, 4)
with open(sys.argv[1], "w") as out:
    out.write("Task,% Compl.,Start,End,Category,Sub Task\n")
    for t in range(1000):
        first = start + datetime.timedelta(days=t % 150)
        last = first + datetime.timedelta(days=3 + t % 20)
        out.write(f"Task {t + 1},{t * 7 % 101},{first},{last},Phase {t // 100 + 1},{'V' if t % 5 == 4 else ''}\n")
PY

seconds() { # runs a command, prints its wall time
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>"$scratch/errors" || { cat "$scratch/errors" >&2; exit 1; }
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

"$program" --plan "$plan" --build-chart "$scratch/warm.xls" >/dev/null 2>&1 # page cache, font cache
: >"$scratch/times"
for ((round = 1; round <= rounds; ++round)); do
    xls=$(seconds "$program" --plan "$plan" --build-chart "$scratch/out.xls")
    xlsx=$(seconds "$program" --plan "$plan" --build-chart "$scratch/out.xlsx")
    pdf=$(seconds "$program" --plan "$plan" --build-chart "$scratch/out2.xls" --pdf "$scratch/out.pdf")
    started=$(seconds "$start_floor")
    written=$(seconds "$pdf_floor" "$scratch/floor.pdf")
    echo "$xls $xlsx $pdf $started $written" >>"$scratch/times"
done
python3 - "$scratch/times" <<'PY'
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
xls, xlsx, pdf, started, written = (statistics.median(column) for column in zip(*rows))
pairs_xlsx = statistics.median(r[1] / r[0] for r in rows)
pairs_pdf = statistics.median(r[2] / r[0] for r in rows)
print(f"rounds {len(rows)}")
print(f".xls run          {xls * 1000:7.0f} ms")
print(f".xlsx run         {xlsx * 1000:7.0f} ms   ratio {pairs_xlsx:.2f} (median of the rounds' ratios)")
print(f".xls + --pdf run  {pdf * 1000:7.0f} ms   ratio {pairs_pdf:.2f}")
writer = statistics.median(r[4] - r[3] for r in rows)
floor = statistics.median((r[0] + r[4] - r[3]) / r[0] for r in rows)
print(f"Qt start floor    {started * 1000:7.0f} ms")
print(f"Qt PDF floor      {written * 1000:7.0f} ms   the writer alone {writer * 1000:.0f} ms: no PDF run below ratio {floor:.2f}")
PY
