#!/usr/bin/env bash
# Long libFuzzer runs: each target for a fixed number of executions (10^7 unless -n says
# otherwise) on a corpus kept outside git, so a later run continues where this one stopped.
#
#   tests/fuzz/lange_laeufe.sh [-b BUILD] [-c CORPUS] [-n RUNS] [-t SECONDS] [TARGET...]
#
#   -b BUILD   build folder with the fuzz targets (default build/fuzz; configure it with the
#              fuzz preset or the same settings)
#   -c CORPUS  folder holding one corpus folder per target (default build/fuzz-corpus)
#   -n RUNS    executions per target (default 10000000)
#   -t SECONDS stop a target after this time even before RUNS (default: no limit); the corpus
#              keeps what was found, so the next run continues from there
#   TARGET     the targets to run (default: every *_fuzz in the build folder)
#
# The committed seeds are read as a second corpus folder; new inputs go to CORPUS/TARGET only.
# A crash leaves its input in CORPUS/TARGET-funde/; keep it under tests/fuzz/seeds/TARGET once it
# is fixed. Runs are niced, as other work shares the machine. Each target's log is
# CORPUS/TARGET.log; the summary line gives executions, rate, coverage and the time taken.
set -euo pipefail
wurzel=$(cd "$(dirname "$0")/../.." && pwd)
build="$wurzel/build/fuzz"
corpus="$wurzel/build/fuzz-corpus"
runs=10000000
sekunden=0
while getopts "b:c:n:t:" opt; do
    case "$opt" in
    b) build=$(realpath "$OPTARG") ;;
    c) corpus=$(realpath -m "$OPTARG") ;;
    n) runs="$OPTARG" ;;
    t) sekunden="$OPTARG" ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

ziele=("$@")
if [[ ${#ziele[@]} -eq 0 ]]; then
    while IFS= read -r programm; do
        ziele+=("$(basename "$programm")")
    done < <(find "$build/tests/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x | sort)
fi
if [[ ${#ziele[@]} -eq 0 ]]; then
    echo "Keine Fuzz-Ziele in $build/tests/fuzz gefunden; zuerst mit dem Preset fuzz bauen." >&2
    exit 1
fi

fehler=0
for ziel in "${ziele[@]}"; do
    programm="$build/tests/fuzz/$ziel"
    mkdir -p "$corpus/$ziel" "$corpus/$ziel-funde"
    saaten=()
    [[ -d "$wurzel/tests/fuzz/seeds/$ziel" ]] && saaten=("$wurzel/tests/fuzz/seeds/$ziel")
    protokoll="$corpus/$ziel.log"
    beginn=$(date +%s)
    status=0
    ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
        UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
        nice -n 19 "$programm" -runs="$runs" -max_total_time="$sekunden" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$corpus/$ziel-funde/" "$corpus/$ziel" "${saaten[@]}" \
        >"$protokoll" 2>&1 || status=$?
    dauer=$(($(date +%s) - beginn))
    letzte=$(grep -E '^#[0-9]+' "$protokoll" | tail -n 1 || true)
    ausfuehrungen=$(grep -E 'stat::number_of_executed_units' "$protokoll" | awk '{print $2}' || true)
    printf '%s: %s Ausführungen in %d s (%s/s); %s; Status %d\n' "$ziel" "${ausfuehrungen:-?}" \
        "$dauer" "$(grep -E 'stat::average_exec_per_sec' "$protokoll" | awk '{print $2}')" \
        "$letzte" "$status"
    if [[ $status -ne 0 ]]; then
        echo "  Fund in $corpus/$ziel-funde/, Protokoll $protokoll" >&2
        fehler=1
    fi
done
exit $fehler
