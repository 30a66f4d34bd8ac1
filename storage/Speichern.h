// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/Messwert.h"
#include "settings/Konfiguration.h"
#include "storage/Angaben.h"
#include "storage/Datendatei.h"
#include "storage/Datenzeile.h"
#include "storage/Zeitpunkt.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Which kind of saving is on: never both, so it is one state.
enum class TSpeicherArt : std::uint8_t { Aus, Sofort, Auto };

// One kind's switch over that state, for code that asks about a single kind: it reads "this kind
// is on", switching it on switches the other kind off, and switching it off leaves the other kind
// as it is.
class TSpeicherSchalter {
public:
    TSpeicherSchalter(TSpeicherArt& art, TSpeicherArt eigene) noexcept
        : art_(art)
        , eigene_(eigene) {}
    TSpeicherSchalter(const TSpeicherSchalter&) = delete;
    TSpeicherSchalter& operator=(const TSpeicherSchalter& andere) noexcept {
        return *this = static_cast<bool>(andere);
    }
    operator bool() const noexcept { return art_ == eigene_; }
    TSpeicherSchalter& operator=(bool ein) noexcept {
        if (ein) {
            art_ = eigene_;
        } else if (art_ == eigene_) {
            art_ = TSpeicherArt::Aus;
        }
        return *this;
    }

private:
    TSpeicherArt& art_;
    TSpeicherArt eigene_;
};

// Saving state of the main window. The data file is open exactly while one kind of saving is on.
struct TSpeicherZustand {
    TSpeicherArt Art = TSpeicherArt::Aus;
    TSpeicherSchalter SofortSpeichernAktiv{Art, TSpeicherArt::Sofort};
    TSpeicherSchalter AutoSpeichernAktiv{Art, TSpeicherArt::Auto};
    // Records saved since the last reset: those that reached the file, and, when the file keeps
    // no lines (TDatendatei::ZeilenAufbewahren off), those whose failure was raised. The first
    // record after a reset gets a header line before it. It stops at the largest 32-bit number
    // instead of overflowing.
    std::int32_t AnzahlGespeichert = 0;
    // The next record written carries a header line: the header of the count's first record
    // did not reach the file, or the file was opened anew under its name (PfadPruefen).
    bool KopfzeileFaellig = false;
    TDatendatei Datendatei;
    // The last start of saving generated a new Ausgabedatei (the window shows its name).
    bool NameErzeugt = false;
    // Why the last start of saving failed, for the error box (German, UTF-8, with the path);
    // empty after a successful start.
    std::string StartFehler;
    // A header line is left out when the data file's last header line is the same one, so a
    // logger started again on the same file (--append) adds none. The window writes its header
    // as always.
    bool GleicheKopfzeileAuslassen = false;
    // Sample, operator and electrode of the readings saved from now on. With AngabenSchreiben
    // (the setting "Probe, Bediener und Elektrode in die Datendatei", taken at each start of
    // saving so a file keeps its columns) every line, header lines included, ends in three
    // more fields; without, the file is as it always was.
    TAngaben Angaben;
    bool AngabenSchreiben = false;
};

// Writes one record line: the header line of `art` in the reading's layout when it is due (the
// first record since the count's reset, or KopfzeileFaellig), then the record with `pcZeit`,
// `wert` and `temp`, both with the Angaben when AngabenSchreiben is on; AnzahlGespeichert rises by
// the records that reached the file (late ones included). Shared by immediate and automatic saving.
// Before that, the data file's name is checked (at most once a second); a file opened anew under it
// gets a header line. A write error the file raises (it keeps no lines) raises EInOutError after
// the count was raised; the file keeps only whole lines, and a header that was lost is written with
// the next record.
//
// `vorher`, when given, is told right before the write the line of the file the record will
// stand on (empty when the file cannot be read back): whoever keeps a copy of the reading keeps
// it first, so a crash between the two writes leaves no line in the file without its copy.
using TVorDemSchreiben = std::function<void(std::optional<std::int64_t> zeile)>;
void SchreibeDatensatz(TSpeicherZustand& zustand, const TMesswert& messwert, TWertArt art,
                       std::string_view pcZeit, double wert, double temp,
                       const TVorDemSchreiben& vorher = {});

// From the caller's event loop when Datendatei.SyncInMs() says: writes waiting lines and syncs
// the data file (TDatendatei::Synchronisieren); AnzahlGespeichert rises by the lines written.
void SpeicherSynchronisieren(TSpeicherZustand& zustand);

// Immediate saving of one reading, as received.
void SpeichereWert(TSpeicherZustand& zustand, const TMesswert& messwert,
                   const TVorDemSchreiben& vorher = {});

// The start of saving, shared by immediate and automatic saving:
// - with Ueberschreiben or AutoDateiname the count restarts at 0 (so a header line follows);
// - with AutoDateiname the first free name of `heute` ("06122001.000", ...) in the directory of
//   the current Ausgabedatei becomes the new Ausgabedatei; when all thousand names of the day
//   are taken, the start fails and no file is touched;
// - the file is opened for appending, or rewritten (emptied at once) with Ueberschreiben.
// Returns whether the file is open; on failure StartFehler says why. The caller shows
// DateinamenTeil(Ausgabedatei) when a name was generated (NameErzeugt).
bool SpeichernStarten(TSpeicherZustand& zustand, TKonfiguration& konfiguration,
                      const TZeitpunkt& heute);
