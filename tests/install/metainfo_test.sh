#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
# The AppStream metainfo passes appstreamcli's validation without a single remark (pedantic
# hints aside), and each screenshot it names is a picture in docs/ of the size it states.
# Usage: metainfo_test.sh METAINFO DOCS-FOLDER
set -u
metainfo=$1
docs=$2
fehler=0

if ! appstreamcli validate --no-net --strict "$metainfo"; then
    echo "FEHLER: appstreamcli validate lehnt $metainfo ab" >&2
    fehler=1
fi

# <image type="source" width="W" height="H">URL/NAME.png</image>
bilder=$(sed -n 's#.*<image type="source" width="\([0-9]*\)" height="\([0-9]*\)">.*/\([^/<]*\)</image>.*#\3 \1 \2#p' \
    "$metainfo")
if [ -z "$bilder" ]; then
    echo "FEHLER: $metainfo nennt keinen Bildschirmfoto" >&2
    fehler=1
fi
echo "$bilder" | while read -r datei breite hoehe; do
    [ -n "$datei" ] || continue
    if [ ! -f "$docs/$datei" ]; then
        echo "FEHLER: $docs/$datei fehlt" >&2
        exit 1
    fi
    # The PNG header holds width and height as big-endian numbers at bytes 16 and 20.
    masse=$(od -An -tu1 -j16 -N8 "$docs/$datei" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    if [ "$masse" != "$breite $hoehe" ]; then
        echo "FEHLER: $datei ist $masse groß, nicht $breite $hoehe" >&2
        exit 1
    fi
done || fehler=1
exit $fehler
