// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The records of an outbox segment, after its header line (AusgangMagie): a kind byte, the
// payload's length (4 bytes, little-endian), the payload, and a CRC-32 of all that before it.
// A record is whole only with its CRC, so a file cut anywhere is read up to its last whole
// record, as the raw-data capture is. The single outbox file of earlier versions has the same
// header and records (kinds 1 and 2), so it serves as a segment as it is.

inline constexpr std::string_view AusgangMagie = "QUORLITS-AUSGANG 1\n";

enum class TAusgangsArt : std::uint8_t {
    Nachricht = 1, // seq, measurement, topic, payload: a message to send
    Quittung = 2,  // seq, measurement: every message of it up to seq was acknowledged
    Luecke = 3,    // seq, measurement, from seq, topic, payload: the messages from seq VonSeq
                   // to Seq were dropped; the message tells the collector so
};

// A message, an acknowledgement (which has no topic and no payload) or a gap.
struct TAusgangsSatz {
    TAusgangsArt Art = TAusgangsArt::Nachricht;
    std::string Messung;
    std::uint64_t Seq = 0;
    std::string Thema;
    std::string Inhalt;
    std::uint64_t VonSeq = 0; // a gap's first seq

    friend bool operator==(const TAusgangsSatz&, const TAusgangsSatz&) = default;
};

// The record as it stands in the file.
std::string AusgangsSatzText(const TAusgangsSatz& satz);

// The length of the whole record at the start of `daten`, once its header is there; empty
// while fewer than its first five bytes are there. A length beyond any message marks damage.
std::optional<std::size_t> AusgangsSatzLaenge(std::string_view daten);

// The record that `daten` holds exactly; empty when it is damaged (CRC, kind, fields).
std::optional<TAusgangsSatz> AusgangsSatzLesen(std::string_view daten);

// No message comes near it; a longer record is damage.
inline constexpr std::uint32_t AusgangHoechsteLaenge = 16U * 1024U * 1024U;
