#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The real program's command line: usage and mistakes are answered in German, without a
# display (no window system is touched before the arguments are read); the window without a
# display says so in German instead of aborting in Qt.
# Usage: befehlszeile_e2e.sh PATH-TO-QUORLITS
set -u
programm=$1
fehler=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

. "$(dirname "$0")/pruefen.sh"

for hilfe in --help -h; do
    ohne_anzeige "$hilfe"
    pruefe "$hilfe endet mit 0" code 0
    pruefe "$hilfe zeigt den Aufruf" enthaelt out "Aufruf: quorlits [--port GERÄT]"
    pruefe "$hilfe erklärt --port" enthaelt out "serielle Schnittstelle"
    pruefe "$hilfe schreibt nichts auf stderr" leer err
done

ohne_anzeige --bogus
pruefe "--bogus endet mit 2" code 2
pruefe "--bogus nennt das Argument" enthaelt err "Unbekanntes Argument: --bogus"
pruefe "--bogus verweist auf die Hilfe" enthaelt err "quorlits --help"
pruefe "--bogus schreibt nichts auf stdout" leer out

ohne_anzeige --port
pruefe "--port ohne Gerät endet mit 2" code 2
pruefe "--port ohne Gerät sagt, was fehlt" enthaelt err "Nach --port fehlt das Gerät"

# Wrong combinations of the window-free modes: exit 2 with a German reason, nothing opened.
falsch() { # expected text, arguments...
    erwartet=$1
    shift
    ohne_anzeige "$@"
    pruefe "$* endet mit 2" code 2
    pruefe "$* sagt: $erwartet" enthaelt err "$erwartet"
    pruefe "$* schreibt nichts auf stdout" leer out
}
falsch "--headless braucht --port GERÄT" --headless --data-file "$tmp/d.txt"
falsch "--headless braucht --data-file DATEI" --headless --port /dev/ttyUSB0
falsch "schließen einander aus" --headless --port /dev/ttyUSB0 --replay a.roh --data-file d
falsch "--replay liest keine Schnittstelle" --replay a.roh --data-file d --port /dev/ttyUSB0
falsch "--baud braucht eine positive ganze Zahl" --headless --port p --data-file d --baud=0
falsch "--flow kennt none, rts und xon" --headless --port p --data-file d --flow hart
falsch "gelten nur mit --headless oder --replay" --data-file "$tmp/d.txt"
pruefe "ohne --headless wird keine Datendatei angelegt" test ! -e "$tmp/d.txt"

# A forgotten value does not turn the next option into a file name (here, in $tmp).
cd "$tmp"
falsch "„--append“ ist eine Option" --headless --port p --data-file --append
pruefe "keine Datei namens --append" test ! -e "$tmp/--append"
falsch "--port ist mehrfach angegeben" --port a --port b
falsch "--baud kennt die Raten" --headless --port p --data-file d --baud 9601

# The window without a display: a German answer and exit 2, not Qt's abort.
ohne_anzeige --port /dev/null
pruefe "das Fenster ohne Anzeige endet mit 2" code 2
pruefe "das Fenster ohne Anzeige sagt es" enthaelt err "Keine Anzeige für das Fenster"
pruefe "das Fenster ohne Anzeige verweist auf --headless" enthaelt err "quorlits --headless"
pruefe "das Fenster ohne Anzeige schreibt nichts auf stdout" leer out

exit $fehler
