// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "storage/Angaben.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The messages that leave the bench: one JSON object (UTF-8) per reading or event, with the
// English keys of docs/mqtt.md. The meter's texts arrive as code page 850 and leave as UTF-8.

// What every message of a measurement carries.
struct TNachrichtKopf {
    std::string Messung;   // the measurement's id, made at its start
    std::uint64_t Seq = 0; // 1, 2, 3 ... within the measurement, readings and events together
    std::string Port;      // the port's name
};

// Where a reading was saved: the data file (empty: not saved) and its line there, when known.
struct TSpeicherOrt {
    std::string Datendatei;
    std::optional<std::int64_t> Zeile;
};

// Who measured which sample with which electrode, and the audit trail's chain head over the
// data file's lines before the reading's own (64 hex digits; empty while no trail is kept): a
// saved reading is published before its line is written.
struct TMesswertHerkunft {
    TAngaben Angaben;
    std::string Kette;
};

std::string MesswertNutzlast(const TNachrichtKopf& kopf, const TMesswert& messwert,
                             const TSpeicherOrt& ort = {}, const TMesswertHerkunft& herkunft = {});

// The events of a measurement. Luecke: the outbox dropped the messages from VonSeq to BisSeq
// (the event's own seq is BisSeq), so the collector counts them as settled.
enum class TEreignisArt { Beginn, Ende, Verloren, Zurueck, SpeichernEin, SpeichernAus, Luecke };

struct TEreignis {
    TEreignisArt Art = TEreignisArt::Beginn;
    std::int64_t UtcMs = 0;
    std::int32_t UtcVersatz = 0;
    std::string Detail;     // the line's reason, the saving's kind, the measurement's mode
    std::string Datendatei; // saving on: the data file
    std::uint64_t VonSeq = 0, BisSeq = 0; // a gap: the first and last seq dropped
    std::string Grund;                    // a gap: why ("Ausgang voll")
};

std::string EreignisNutzlast(const TNachrichtKopf& kopf, const TEreignis& ereignis);

// The name of an event in the payload ("start", "end", "line_lost", "line_back", "saving_on",
// "saving_off", "gap").
std::string_view EreignisName(TEreignisArt art);

// The UTC offset in effect for a reading, from its PC date and time and its UTC stamp, so the
// payload's local time is the data file's; 0 when the texts cannot be read.
std::int32_t UtcVersatzVon(const TMesswert& messwert);

// "2026-12-06T16:53:34.120+01:00": the local time of `utcMs` at the offset.
std::string IsoZeit(std::int64_t utcMs, std::int32_t utcVersatz);

// What the collector needs of a message before it stores it: the measurement and seq, and
// whether every key has the type the tables expect. False (with the reason in `fehler`) for a
// message it must not store; `kennung` is filled as soon as measurement and seq are readable
// (Seq stays 0 otherwise), so such a message can still be accounted for. A gap event needs
// integers from_seq and to_seq with 1 <= from_seq <= to_seq = seq.
struct TNachrichtKennung {
    std::string Messung;
    std::int64_t Seq = 0;
};
bool NutzlastPruefen(std::string_view json, bool ereignis, TNachrichtKennung& kennung,
                     std::string& fehler);
