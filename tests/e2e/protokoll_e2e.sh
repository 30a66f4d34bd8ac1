#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The logger's audit trail with the real program against meter-sim: sample changes typed on
# standard input reach the data file's extra fields and the trail, the end of the input does
# not end the run, --verify confirms the file and finds one changed byte, and the capture
# replays into the same data file, fields and all. A file cut to its first lines with changed
# values and then continued by a run with --append stays found out.
# Usage: protokoll_e2e.sh PATH-TO-QUORLITS PATH-TO-METER-SIM
set -u
simulator=$2
fehler=0
tmp=$(mktemp -d)
simpid=
pid=
geraet=
aufraeumen() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; fi
    if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null; fi
    rm -rf "$tmp"
}
trap aufraeumen EXIT

. "$(dirname "$0")/pruefen.sh"
. "$(dirname "$0")/simulator.sh"

# quorlits.conf lies beside PHRX.CFG, which lies beside the program: a copy of the program in
# a folder of its own switches the extra fields on without touching the build's folder.
mkdir "$tmp/bin"
cp "$1" "$tmp/bin/quorlits"
printf '[Messung]\nAngabenInDatei=true\n' >"$tmp/bin/quorlits.conf"
programm=$tmp/bin/quorlits

warten_bis() { # condition...
    versuche=0
    while ! "$@" && [ $versuche -lt 400 ]; do
        sleep 0.05
        versuche=$((versuche + 1))
    done
    "$@"
}
zeilen_mit() { # file, text, at least
    anzahl=$(grep -c -- "$2" "$1" 2>/dev/null)
    [ "${anzahl:-0}" -ge "$3" ]
}
kopfzeile() {
    [ "$(head -n 1 "$1")" = "$(printf 'PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\tProbe\tBediener\tElektrode\r')" ]
}
# Every record has nine fields, the operator in Windows-1252 and the electrode last.
felder() {
    awk -F '\t' -v bediener="$(printf 'Pr\374fer')" '
        NR > 1 && (NF != 9 || $8 != bediener || $9 != "E-7\r") { schlecht = 1 }
        END { exit schlecht }' "$1"
}

simulator_starten --interval 50 --quantity pH
mkfifo "$tmp/eingabe"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$programm" --headless --port "$geraet" \
    --data-file "$tmp/d.txt" --capture "$tmp/d.roh" --sample P-1 --operator "Prüfer" \
    --electrode E-7 <"$tmp/eingabe" >"$tmp/out" 2>"$tmp/err" &
pid=$!
exec 3>"$tmp/eingabe"
warten_bis zeilen_mit "$tmp/d.txt" "	P-1	" 3
echo "Probe: P-2" >&3
warten_bis zeilen_mit "$tmp/d.txt" "	P-2	" 3
exec 3>&-
# The input has ended; the run goes on.
warten_bis zeilen_mit "$tmp/d.txt" "	P-2	" 8
kill -TERM $pid 2>/dev/null
wait $pid
echo $? >"$tmp/rc"
pid=
simulator_beenden

pruefe "SIGTERM endet den Lauf mit 0" code 0
pruefe "nach dem Ende der Eingabe kamen weitere Messwerte" zeilen_mit "$tmp/d.txt" "	P-2	" 8
pruefe "die Kopfzeile nennt Probe, Bediener und Elektrode" kopfzeile "$tmp/d.txt"
pruefe "jede Zeile trägt Bediener und Elektrode" felder "$tmp/d.txt"
pruefe "die Standardausgabe trägt die Probe" enthaelt out "	P-2	Prüfer	E-7"
pruefe "der Probenwechsel steht im Protokoll" grep -q "	Probe	P-1 → P-2	" "$tmp/d.txt.protokoll"
pruefe "das Protokoll nennt Programmstart und -ende" \
    sh -c "grep -q '	Programmstart	Quorlits ' '$tmp/d.txt.protokoll' &&
           tail -n 1 '$tmp/d.txt.protokoll' | grep -q '	Programmende	'"

ohne_anzeige --verify "$tmp/d.txt"
pruefe "--verify bestätigt die Datendatei mit 0" code 0
pruefe "--verify sagt unverändert" enthaelt out "$tmp/d.txt: unverändert: "

ohne_anzeige --replay "$tmp/d.roh" --data-file "$tmp/wieder.txt"
pruefe "das Abspielen endet mit 0" code 0
pruefe "das Abspielen schreibt dieselbe Datendatei mit den Angaben" cmp "$tmp/d.txt" "$tmp/wieder.txt"

# The first eight lines kept with their values changed, the trail left as it was.
head -n 8 "$tmp/d.txt" | sed '2,8s/,/./' >"$tmp/k.txt"
cp "$tmp/d.txt.protokoll" "$tmp/k.txt.protokoll"

sed '3s/,/./' "$tmp/d.txt" >"$tmp/geaendert" && cat "$tmp/geaendert" >"$tmp/d.txt"
ohne_anzeige --verify "$tmp/d.txt"
pruefe "ein geändertes Byte ergibt 4" code 4
pruefe "--verify nennt die Zeile" enthaelt out "geändert: Zeile"

# A run that continues the cut file begins no new chain that would hide the change.
simulator_starten --interval 50 --quantity pH
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$programm" --headless --port "$geraet" \
    --data-file "$tmp/k.txt" --append >"$tmp/out" 2>"$tmp/err" </dev/null &
pid=$!
warten_bis zeilen_mit "$tmp/k.txt" "	pH	" 10
kill -TERM $pid 2>/dev/null
wait $pid
pid=
simulator_beenden
pruefe "das Protokoll verzeichnet den Bruch" grep -q "	Kette unterbrochen ab Zeile " "$tmp/k.txt.protokoll"
ohne_anzeige --verify "$tmp/k.txt"
pruefe "die gekürzte, geänderte und fortgesetzte Datei ergibt 4" code 4
pruefe "--verify nennt die Zeilen" enthaelt out "geändert: Zeile"

exit $fehler
