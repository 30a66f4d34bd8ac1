#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The service template as it is installed: systemd-analyze verify finds nothing to say about it
# and its network drop-in example, and the offline security assessment scores it 1.5 at most.
# No running systemd is needed: the units are read from a folder of the test's own
# (SYSTEMD_UNIT_PATH), and the man page of Documentation= from MANPATH.
# Usage: dienst_test.sh UNIT PROGRAM DROP-IN MAN-PAGE
set -u
unit=$1
programm=$2
dropin=$3
handbuch=$4
fehler=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
name=quorlits-logger@.service
instanz=quorlits-logger@dev-serial-by\\x2did-usb\\x2dFTDI_A50285BI\\x2dif00\\x2dport0.service

# verify wants the program of ExecStart= to exist: a copy of the unit names the built one.
installiert=$(sed -n 's/^ExecStart=\([^ ]*\) .*/\1/p' "$unit")
if [ -z "$installiert" ]; then
    echo "FEHLER: $unit hat kein ExecStart=" >&2
    exit 1
fi
mkdir -p "$tmp/units/$name.d" "$tmp/man/man1" "$tmp/allein"
sed "s#^ExecStart=$installiert #ExecStart=$programm #" "$unit" >"$tmp/units/$name"
cp "$dropin" "$tmp/units/$name.d/netz.conf"
cp "$handbuch" "$tmp/man/man1/quorlits.1"
cp "$unit" "$tmp/allein/$name"

# verify exits 0 on unknown keys and values it ignores: any output is a finding.
MANPATH="$tmp/man" SYSTEMD_UNIT_PATH="$tmp/units:" \
    systemd-analyze verify "$instanz" >"$tmp/verify" 2>&1
rc=$?
if [ $rc -ne 0 ] || [ -s "$tmp/verify" ]; then
    echo "FEHLER: systemd-analyze verify (Rückgabewert $rc):" >&2
    cat "$tmp/verify" >&2
    fehler=1
fi

# The installed unit alone, without any drop-in: 1.5 at most (15 on the threshold's scale).
systemd-analyze security --offline=yes --threshold=15 "$tmp/allein/$name" >"$tmp/security" 2>&1
rc=$?
tail -n 1 "$tmp/security"
if [ $rc -ne 0 ]; then
    echo "FEHLER: die Sicherheitsbewertung liegt über 1,5:" >&2
    grep '✗' "$tmp/security" >&2
    fehler=1
fi
# With the drop-in that opens the network: for information only.
SYSTEMD_UNIT_PATH="$tmp/units:" systemd-analyze security --offline=yes "$instanz" 2>&1 |
    tail -n 1 | sed 's/^/mit netz.conf: /'

exit $fehler
