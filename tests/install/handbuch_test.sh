#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The man page formats without a single warning of groff, and it explains every option that
# the program's --help names, so the two cannot drift apart.
# Usage: handbuch_test.sh MAN-PAGE PROGRAM
set -u
handbuch=$1
programm=$2
fehler=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

groff -k -man -z -ww -Tutf8 "$handbuch" >"$tmp/groff" 2>&1
if [ $? -ne 0 ] || [ -s "$tmp/groff" ]; then
    echo "FEHLER: groff warnt:" >&2
    cat "$tmp/groff" >&2
    fehler=1
fi

"$programm" --help >"$tmp/hilfe"
grep -o -- '--[a-z][a-z-]*' "$tmp/hilfe" | sort -u >"$tmp/optionen"
if [ ! -s "$tmp/optionen" ]; then
    echo "FEHLER: --help nennt keine Option" >&2
    fehler=1
fi
# Each option has a paragraph of its own: a .TP whose next line names it (dashes as \-).
awk 'vorher == ".TP" { print } { vorher = $0 }' "$handbuch" | sed 's/\\-/-/g' >"$tmp/absaetze"
while read -r option; do
    if ! grep -q -- "^\.B[IR]* $option\( \|\"\|,\|$\)" "$tmp/absaetze"; then
        echo "FEHLER: das Handbuch erklärt $option nicht" >&2
        fehler=1
    fi
done <"$tmp/optionen"
exit $fehler
