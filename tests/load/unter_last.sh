#!/usr/bin/env bash
# Runs the test suite of a build several times beside a CPU hog and names every test that failed
# at least once, with how often. Each round runs the whole suite, then the unit and widget tests
# a year ahead and fourteen hours east of UTC, as the test command does. A test that fails only
# under load waits for time instead of for the event it needs.
#
#   tests/load/unter_last.sh [RUNS] [PRESET]     (defaults: 10 rounds, preset dev)
#
# Needs stress-ng and faketime (apt-get install stress-ng faketime) and a built preset
# (cmake --build --preset PRESET).
set -uo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-10}
preset=${2:-dev}
build=build/$preset
log=$build/Testing/Temporary/LastTestsFailed.log
declare -A fehlschlaege=()
for programm in stress-ng faketime; do
    if ! command -v "$programm" >/dev/null; then
        echo "$programm fehlt: apt-get install $programm" >&2
        exit 2
    fi
done

# Runs ctest with the given prefix and options and counts its failures.
Durchgang() {
    local name=$1
    shift
    rm -f "$log"
    local start=$SECONDS
    "$@" >"$build/unter_last_${name//[ ,]/_}.log" 2>&1
    local ergebnis=$? anzahl=0
    if [[ -f $log ]]; then
        while IFS=: read -r _ test; do
            fehlschlaege[$test]=$((${fehlschlaege[$test]:-0} + 1))
            anzahl=$((anzahl + 1))
        done <"$log"
    fi
    printf '%s: %d s, Ergebnis %d, %d fehlgeschlagen\n' "$name" $((SECONDS - start)) \
        "$ergebnis" "$anzahl"
}

stress-ng --cpu 2 --quiet &
hog=$!
trap 'kill $hog 2>/dev/null' EXIT

for ((lauf = 1; lauf <= runs; lauf++)); do
    Durchgang "Lauf $lauf" ctest --preset "$preset" -j8 --timeout 600
    Durchgang "Lauf $lauf, Datum verschoben" env DONT_FAKE_MONOTONIC=1 TZ=XYZ-14 \
        faketime -f '+1y' ctest --preset "$preset" -j8 --timeout 600 \
        --label-regex '^(unit|widgets)$'
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
