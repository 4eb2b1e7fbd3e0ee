#!/bin/sh
# SPDX-License-Identifier: MIT
# Times one full-roster Top 35 search of every bench roster in both modes (median of 3), and the
# million-line list against its floor. Usage: bench/families.sh [path/to/korvane-bench]
set -e
B=${1:-build/bin/korvane-bench}
R=$(dirname "$0")/rosters
FULL="--C 1-20 --W 1-20 --D 1-15 --G 1-15"
seconds() { "$B" $FULL --repeat 3 "$@" 2>&1 >/dev/null | sed -n 's/^examined .* in \([0-9.]*\) s.*/\1/p'; }
printf '| roster | settings | Pts/G | Pts/W |\n|---|---|---|---|\n'
row() {
    roster=$1; shift
    printf '| %s | %s | %s s | %s s |\n' "$roster" "${*:-as saved}" \
        "$(seconds --mode game "$@" "$R/$roster.txt")" "$(seconds --mode week "$@" "$R/$roster.txt")"
}
row full --money 100 --target 0
row full
for r in identical zero proportional exacttarget straddleties negative straddle exponents outlierpoints outliercost; do
    row "$r"
done
row weekties --percent 0
row exponents --percent 0
echo
KORVANE_BENCH_EVENT_GAPS=1 /usr/bin/time -f "wall %e s, peak memory %M KB" \
    "$B" $FULL --mode week --top35 off --target 20 --floor "$R/full.txt" 2>&1 >/dev/null | grep -v '^The result list is full'
