# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The program against meter-sim, for the end-to-end scripts that source it after pruefen.sh.
# They expect $programm, $simulator (meter-sim) and $tmp; simulator_starten sets $simpid and
# $geraet (meter-sim's device), which the script's clean-up ends.

endet_mit_crlf() { [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' \n')" = "0d0a" ]; }

# Every line of the data file ends with CR LF and has six fields; at least $2 readings.
ganze_zeilen() {
    awk -F '\t' -v mindestens="$2" '
        !/\r$/ || NF != 6 { schlecht = 1 }
        END { exit schlecht || NR - 1 < mindestens }' "$1"
}

simulator_starten() { # meter-sim options...
    "$simulator" --print-records "$@" >"$tmp/sim.log" 2>"$tmp/sim.err" &
    simpid=$!
    geraet=
    versuche=0
    while [ -z "$geraet" ] && [ $versuche -lt 400 ]; do
        sleep 0.05
        geraet=$(head -n 1 "$tmp/sim.log")
        versuche=$((versuche + 1))
    done
}
simulator_beenden() {
    kill "$simpid"
    wait "$simpid"
    simpid=
}

# Headless on meter-sim's device until SIGTERM (or the signal named in $signal, e.g. HUP), $1
# seconds after the measurement started. With $bis_zeilen set, the seconds begin only once the
# file $bis_datei holds that many lines (a minute at most), so a busy machine still brings the
# readings a check needs.
protokollieren() { # seconds, arguments...
    sekunden=$1
    shift
    rm -f "$tmp/out" "$tmp/err" # the last run's "läuft" must not count for this one
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$programm" --headless \
        --port "$geraet" "$@" >"$tmp/out" 2>"$tmp/err" &
    pid=$!
    versuche=0
    while ! grep -qs "läuft" "$tmp/err" && kill -0 $pid 2>/dev/null && [ $versuche -lt 400 ]; do
        sleep 0.05
        versuche=$((versuche + 1))
    done
    versuche=0
    while [ -n "${bis_zeilen:-}" ] && kill -0 $pid 2>/dev/null && [ $versuche -lt 1200 ] &&
        [ "$(cat "$bis_datei" 2>/dev/null | wc -l)" -lt "$bis_zeilen" ]; do
        sleep 0.05
        versuche=$((versuche + 1))
    done
    sleep "$sekunden"
    kill -"${signal:-TERM}" $pid 2>/dev/null
    wait $pid
    echo $? >"$tmp/rc"
}
