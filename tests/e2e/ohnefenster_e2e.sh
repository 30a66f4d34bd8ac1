#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# Logging without a window and the replay of its capture, with the real program against
# meter-sim on a pseudo-terminal and no display: the data file holds a contiguous run of the
# records meter-sim sent, standard output the same readings in UTF-8; the capture replays into a
# byte-identical data file in another time zone; SIGTERM in the middle of a slow record leaves
# whole lines only; an existing data file, an absent device and a cut capture are answered.
# Usage: ohnefenster_e2e.sh PATH-TO-QUORLITS PATH-TO-METER-SIM
set -u
programm=$1
simulator=$2
fehler=0
tmp=$(mktemp -d)
simpid=
geraet=
aufraeumen() {
    if [ -n "$simpid" ]; then kill "$simpid" 2>/dev/null; fi
    rm -rf "$tmp"
}
trap aufraeumen EXIT

. "$(dirname "$0")/pruefen.sh"
. "$(dirname "$0")/simulator.sh"
# The readings of the data file $1 are a contiguous run of the records in meter-sim's log $2.
folge_gesendet() {
    awk -F '\t' '
        FNR == NR {
            if ($1 == "Zeile") {
                w = sprintf("%6.2f", $2); t = sprintf("%6.2f", $4)
                gsub(/\./, ",", w); gsub(/\./, ",", t)
                erwartet[++n] = w "|" $3 "|" t
            }
            next
        }
        FNR > 1 { zeile[++m] = $3 "|" $4 "|" $5 }
        END {
            for (s = 0; s + m <= n; s++) {
                i = 1
                while (i <= m && zeile[i] == erwartet[s + i]) i++
                if (i > m) exit 0
            }
            exit 1
        }' "$2" "$1"
}
# Standard output holds the data file's readings, UTF-8, one line each.
ausgabe_wie_datei() {
    tail -n +2 "$1" | tr -d '\r' | iconv -f WINDOWS-1252 -t UTF-8 >"$tmp/erwartet"
    cmp -s "$tmp/erwartet" "$tmp/out"
}



# A live run with its capture, then the capture replayed fourteen hours east of UTC.
simulator_starten --interval 50 --quantity pH
bis_datei=$tmp/live.txt bis_zeilen=11
protokollieren 0.5 --data-file "$tmp/live.txt" --capture "$tmp/live.roh"
bis_zeilen=
simulator_beenden
pruefe "SIGTERM endet den Lauf mit 0" code 0
pruefe "die Datendatei hat nur ganze Zeilen, mindestens 10 Messwerte" ganze_zeilen "$tmp/live.txt" 10
pruefe "die Datendatei endet mit CR LF" endet_mit_crlf "$tmp/live.txt"
pruefe "die Messwerte sind die gesendeten Datensätze" folge_gesendet "$tmp/live.txt" "$tmp/sim.log"
pruefe "die Standardausgabe zeigt jeden Messwert in UTF-8" ausgabe_wie_datei "$tmp/live.txt"
pruefe "SIGTERM wird gemeldet" enthaelt err "Die Messung endet"

TZ=XYZ-14 ohne_anzeige --replay "$tmp/live.roh" --data-file "$tmp/abgespielt.txt"
pruefe "das Abspielen endet mit 0" code 0
pruefe "das Abspielen schreibt dieselbe Datendatei" cmp "$tmp/live.txt" "$tmp/abgespielt.txt"
pruefe "das Abspielen nennt die Messwerte" enthaelt err "Messwerte in $tmp/abgespielt.txt"

ohne_anzeige --replay "$tmp/live.roh" --data-file "$tmp/abgespielt.txt"
pruefe "das Abspielen in eine vorhandene Datei ohne --append endet mit 1" code 1
pruefe "die Meldung nennt die vorhandene Datei" enthaelt err "$tmp/abgespielt.txt gibt es schon"

groesse=$(wc -c <"$tmp/live.roh")
head -c $((groesse - 3)) "$tmp/live.roh" >"$tmp/abgeschnitten.roh"
ohne_anzeige --replay "$tmp/abgeschnitten.roh" --data-file "$tmp/aus_abgeschnitten.txt"
pruefe "eine abgeschnittene Aufnahme spielt mit 0 ab" code 0
pruefe "eine abgeschnittene Aufnahme wird vermerkt" enthaelt err "abgeschnittenen"
cp "$tmp/live.roh" "$tmp/live_vorher.roh"
ohne_anzeige --replay "$tmp/live.roh" --data-file "$tmp/./live.roh" --append
pruefe "eine Aufnahme in sich selbst abzuspielen endet mit 1" code 1
pruefe "die Meldung sagt, dass es dieselbe Datei ist" enthaelt err "dieselbe Datei"
pruefe "die Aufnahme bleibt unberührt" cmp "$tmp/live.roh" "$tmp/live_vorher.roh"
ohne_anzeige --replay "$tmp/live.txt" --data-file "$tmp/keine.txt"
pruefe "eine Datei, die keine Aufnahme ist, endet mit 1" code 1
pruefe "die Meldung sagt, was die Datei nicht ist" enthaelt err "keine Rohdatenaufzeichnung"

# At 300 baud a record takes two thirds of a second, so SIGTERM comes in the middle of one.
simulator_starten --interval 10 --baud 300 --quantity pH
bis_datei=$tmp/langsam.txt bis_zeilen=2
protokollieren 0.3 --data-file "$tmp/langsam.txt" --capture "$tmp/langsam.roh" --quiet
bis_zeilen=
cp "$tmp/langsam.txt" "$tmp/langsam_vorher.txt"
pruefe "SIGTERM im Datensatz endet mit 0" code 0
pruefe "SIGTERM im Datensatz lässt nur ganze Zeilen" ganze_zeilen "$tmp/langsam.txt" 1
pruefe "SIGTERM im Datensatz: die Datei endet mit CR LF" endet_mit_crlf "$tmp/langsam.txt"
pruefe "--quiet schreibt nichts auf die Standardausgabe" leer out
ohne_anzeige --replay "$tmp/langsam.roh" --data-file "$tmp/langsam_abgespielt.txt"
pruefe "der halbe Datensatz fehlt auch im Abspielen" cmp "$tmp/langsam.txt" \
    "$tmp/langsam_abgespielt.txt"

protokollieren 0 --data-file "$tmp/langsam.txt"
pruefe "eine vorhandene Datendatei ohne --append endet mit 1" code 1
pruefe "die Meldung nennt die Datendatei" enthaelt err "$tmp/langsam.txt gibt es schon"
pruefe "die vorhandene Datendatei bleibt unberührt" cmp "$tmp/langsam.txt" "$tmp/langsam_vorher.txt"
bis_zeilen=$(($(wc -l <"$tmp/langsam_vorher.txt") + 4))
protokollieren 0.3 --data-file "$tmp/langsam.txt" --append --quiet
bis_zeilen=
pruefe "mit --append endet der Lauf mit 0" code 0
pruefe "--append lässt den Anfang der Datei stehen" cmp -n "$(wc -c <"$tmp/langsam_vorher.txt")" \
    "$tmp/langsam.txt" "$tmp/langsam_vorher.txt"
pruefe "--append fügt ganze Zeilen an" ganze_zeilen "$tmp/langsam.txt" 5
simulator_beenden

geraet=$tmp/kein-geraet
protokollieren 0 --data-file "$tmp/ohne_geraet.txt"
pruefe "ein fehlendes Gerät endet mit 1" code 1
pruefe "die Meldung nennt das Gerät" enthaelt err "$tmp/kein-geraet lässt sich nicht öffnen"

exit $fehler
