#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The program's start and end as a service manager or a shell drives it, with the real program
# against meter-sim: started with its standard descriptors closed it still logs and ends on
# SIGTERM (its files must not take descriptors 0-2); SIGHUP ends a run like SIGTERM.
# Usage: programmstart_e2e.sh PATH-TO-QUORLITS PATH-TO-METER-SIM
set -u
programm=$1
simulator=$2
fehler=0
tmp=$(mktemp -d)
simpid=
pid=
aufraeumen() {
    if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null; fi
    if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null; fi
    rm -rf "$tmp"
}
trap aufraeumen EXIT

. "$(dirname "$0")/pruefen.sh"
. "$(dirname "$0")/simulator.sh"

# Readings in $1 (lines after the header).
messwerte() { [ -f "$1" ] && echo $(($(wc -l <"$1") - 1)) || echo 0; }

# Waits until $pid has ended (at most 20 s, then SIGKILL) and writes its exit code to $tmp/rc.
beenden_abwarten() {
    versuche=0
    while kill -0 "$pid" 2>/dev/null && [ $versuche -lt 400 ]; do
        sleep 0.05
        versuche=$((versuche + 1))
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FEHLER: das Programm endet nicht auf SIGTERM" >&2
        kill -KILL "$pid"
    fi
    wait "$pid"
    echo $? >"$tmp/rc"
    pid=
}

simulator_starten --interval 50 --quantity pH

# Descriptors 0, 1 and 2 closed, as by a careless service manager or `prog <&- >&- 2>&-`.
(
    exec 0<&- 1>&- 2>&-
    exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$programm" --headless \
        --port "$geraet" --data-file "$tmp/zu.txt"
) &
pid=$!
versuche=0
while [ "$(messwerte "$tmp/zu.txt")" -lt 5 ] && kill -0 "$pid" 2>/dev/null &&
    [ $versuche -lt 400 ]; do
    sleep 0.05
    versuche=$((versuche + 1))
done
: >"$tmp/out"
: >"$tmp/err"
kill -TERM "$pid" 2>/dev/null
beenden_abwarten
pruefe "ohne Standardkanäle endet SIGTERM den Lauf mit 0" code 0
pruefe "ohne Standardkanäle werden Messwerte gespeichert (mindestens 5)" ganze_zeilen "$tmp/zu.txt" 5
pruefe "ohne Standardkanäle endet die Datendatei mit CR LF" endet_mit_crlf "$tmp/zu.txt"

signal=HUP protokollieren 1 --data-file "$tmp/hup.txt" --quiet
pruefe "SIGHUP endet den Lauf mit 0" code 0
pruefe "nach SIGHUP hat die Datendatei nur ganze Zeilen" ganze_zeilen "$tmp/hup.txt" 1
pruefe "nach SIGHUP endet die Datendatei mit CR LF" endet_mit_crlf "$tmp/hup.txt"
pruefe "SIGHUP wird gemeldet" enthaelt err "Die Messung endet"

simulator_beenden
exit $fehler
