#!/usr/bin/env bash
# Runs the whole test suite of a build several times beside a CPU hog and names every test that
# failed at least once, with how often. A test that fails only under load waits for time instead
# of for the event it needs.
#
#   tests/load/unter_last.sh [RUNS] [PRESET]     (defaults: 10 runs, preset dev)
#
# Needs stress-ng and a built preset (cmake --build --preset PRESET).
set -uo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-10}
preset=${2:-dev}
build=build/$preset
log=$build/Testing/Temporary/LastTestsFailed.log
declare -A fehlschlaege

stress-ng --cpu 2 --quiet &
hog=$!
trap 'kill $hog 2>/dev/null' EXIT

for ((lauf = 1; lauf <= runs; lauf++)); do
    rm -f "$log"
    start=$SECONDS
    ctest --preset "$preset" -j8 --timeout 600 >"$build/unter_last_$lauf.log" 2>&1
    ergebnis=$?
    anzahl=0
    if [[ -f $log ]]; then
        while IFS=: read -r _ name; do
            fehlschlaege[$name]=$((${fehlschlaege[$name]:-0} + 1))
            anzahl=$((anzahl + 1))
        done <"$log"
    fi
    printf 'Lauf %d: %d s, Ergebnis %d, %d fehlgeschlagen\n' "$lauf" $((SECONDS - start)) \
        "$ergebnis" "$anzahl"
done

printf '\nUnter Last fehlgeschlagen (in %d Läufen):\n' "$runs"
if ((${#fehlschlaege[@]} == 0)); then
    echo "  keiner"
    exit 0
fi
for name in "${!fehlschlaege[@]}"; do
    printf '  %2d×  %s\n' "${fehlschlaege[$name]}" "$name"
done | sort -rn
exit 1
