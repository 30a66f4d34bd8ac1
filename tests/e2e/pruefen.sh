# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The checks of the end-to-end scripts, sourced by them. They expect $programm (the program),
# $tmp (a folder of their own) and $fehler (0, set to 1 by a failed check).

# Runs the program without any display; stdout, stderr and exit code land in $tmp.
ohne_anzeige() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$programm" "$@" \
        >"$tmp/out" 2>"$tmp/err"
    echo $? >"$tmp/rc"
}

pruefe() { # description, condition...
    beschreibung=$1
    shift
    if ! "$@"; then
        echo "FEHLER: $beschreibung" >&2
        echo "  stdout: $(cat "$tmp/out")" >&2
        echo "  stderr: $(cat "$tmp/err")" >&2
        fehler=1
    fi
}

enthaelt() { grep -qF -- "$2" "$tmp/$1"; } # file in $tmp, text
leer() { [ ! -s "$tmp/$1" ]; }
code() { [ "$(cat "$tmp/rc")" = "$1" ]; }
