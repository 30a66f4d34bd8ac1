// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The raw-data capture ("Rohdaten"): everything the port delivered and the program sent during a
// measurement, each with its times, so that the measurement can be replayed byte for byte. The
// layout is described in docs/rohdaten.md; this file holds what writer and reader share.

// What a record tells. The numbers are stored in the file and never change their meaning.
enum class TRohArt : std::uint8_t {
    Empfangen = 1,     // bytes as the port delivered them
    Gesendet = 2,      // bytes the program sent to the meter
    Geoeffnet = 3,     // the port was opened; payload: its settings as text
    Geschlossen = 4,   // the port was closed
    Verloren = 5,      // the line was lost; payload: errno as decimal text
    Zurueck = 6,       // the line is back
    MessungBeginn = 7, // payload: "RS232" or "WTW"
    MessungEnde = 8,
    SpeichernEin = 9, // payload: "sofort" or "auto", a tab, the data file's name
    SpeichernAus = 10,
    LaufBeginn = 11, // a further run continues the capture; payload: its header as text
    Luecke = 12,     // records were lost here; payload: "Eintraege=N\tBytes=M"
    Ende = 13,       // the run closed its capture; the reader keeps it to itself
    Angabe = 14,     // sample, operator or electrode changed; payload: its name, a tab, the value
};

// One record: its kind, the monotonic time in nanoseconds, the clock reading that stamps the
// data file's lines (UTC milliseconds and the UTC offset in seconds) and the payload.
struct TRohEintrag {
    TRohArt Art = TRohArt::Empfangen;
    std::int64_t MonoNs = 0;
    std::int64_t UtcMs = 0;
    std::int32_t UtcVersatz = 0;
    std::string Daten;

    friend bool operator==(const TRohEintrag&, const TRohEintrag&) = default;
};

// The capture's header. `Werte` holds the port and data-file settings as key/value pairs in
// their order; the writer does not interpret them, the reader keeps keys it does not know.
struct TRohKopf {
    int FormatVersion = 0; // as read from the file; the writer always writes RohFormatVersion
    std::string ProgrammVersion;
    std::string Anschluss; // the port's name, e.g. /dev/ttyUSB0
    std::vector<std::pair<std::string, std::string>> Werte;

    friend bool operator==(const TRohKopf&, const TRohKopf&) = default;
};

// A file that is no capture, a header that cannot be read, a version too new, or a header this
// program cannot write. what() is German (UTF-8).
class ERohdatenFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr std::string_view RohMagie = "QUORLITS-ROHDATEN ";
inline constexpr int RohFormatVersion = 1;
// The header keys that fill TRohKopf's own fields.
inline constexpr std::string_view RohSchluesselProgramm = "Programm";
inline constexpr std::string_view RohSchluesselAnschluss = "Anschluss";

// Where a record's fields begin: type, MonoNs, UtcMs, UtcVersatz and payload length before the
// payload (RohSatzAnfang); the CRC after it.
inline constexpr std::size_t RohStelleMonoNs = 1;
inline constexpr std::size_t RohStelleUtcMs = 9;
inline constexpr std::size_t RohStelleVersatz = 17;
inline constexpr std::size_t RohStelleLaenge = 21;
inline constexpr std::size_t RohSatzAnfang = 25;
inline constexpr std::size_t RohSatzPruefsumme = 4;
// A longer payload marks a damaged record: no chunk of a serial port comes near it.
inline constexpr std::uint32_t RohHoechsteLaenge = 64U * 1024U * 1024U;

// The program's version ("0.1.0"), for the capture's header.
std::string_view ProgrammVersion();

// CRC-32 (IEEE 802.3, reflected, as zlib computes it), continued from `crc` (0 to start).
std::uint32_t Crc32(std::string_view daten, std::uint32_t crc = 0);

// A header value on one line: backslash, line feed, carriage return and every byte that is not
// printable or not part of valid UTF-8 become \\, \n, \r and \xHH.
std::string RohMaskieren(std::string_view wert);
// The reverse; raises ERohdatenFehler on an escape it does not know.
std::string RohDemaskieren(std::string_view text);

// The header as it stands in the file, up to and including its closing empty line. Raises
// ERohdatenFehler on a key that is empty, holds '=' or a control byte, or is one of the two
// keys of the fields.
std::string RohKopfText(const TRohKopf& kopf);

// Appends one record as it stands in the file, with its CRC.
void RohSatzAnhaengen(std::string& puffer, const TRohEintrag& eintrag);

// Little-endian numbers in and out of a byte buffer.
void RohZahlAnhaengen(std::string& puffer, std::uint64_t zahl, std::size_t bytes);
std::uint64_t RohZahlLesen(std::string_view daten, std::size_t bytes);
