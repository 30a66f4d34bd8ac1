#!/usr/bin/env bash
# Builds Quorlits (release) and starts it.
#   ./run.sh            the program against the bundled meter simulator (tools/meter-sim)
#   ./run.sh DEVICE     the program on that serial device, e.g. /dev/ttyUSB0
#   ./run.sh --OPTION   options are passed on to the program (./run.sh --help)
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
programm=build/release/main/quorlits
simulator=build/release/tools/meter-sim/meter-sim

if [[ $# -gt 0 && "$1" == -* ]]; then
    exec "$programm" "$@"
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "Quorlits braucht eine grafische Oberfläche, aber DISPLAY ist nicht gesetzt: bitte in einer Desktop-Sitzung starten (oder mit xvfb-run ./run.sh)." >&2
    exit 1
fi
if [[ $# -gt 0 ]]; then
    exec "$programm" --port "$1"
fi

# The simulator prints its pseudo-terminal's path as its first line.
ausgabe=$(mktemp)
"$simulator" --mode mixed --quantity mixed >"$ausgabe" &
simulator_pid=$!
trap 'kill "$simulator_pid" 2>/dev/null || true; wait "$simulator_pid" 2>/dev/null || true; rm -f "$ausgabe"' EXIT
for _ in $(seq 100); do
    [[ -s "$ausgabe" ]] && break
    sleep 0.05
done
geraet=$(head -n 1 "$ausgabe")
if [[ -z "$geraet" ]]; then
    echo "Der Messgeräte-Simulator ist nicht gestartet." >&2
    exit 1
fi
echo "Messgeräte-Simulator an $geraet; in Quorlits „WTW-Lesen“ oder „RS232 Lesen“ drücken."
"$programm" --port "$geraet"
