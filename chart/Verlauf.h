// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// The readings of a measurement as the chart draws them: each with its UTC time, value,
// temperature and moving average, in series of one quantity each. Window-free.

// UTC milliseconds in two 4-byte halves: a reading holds no 8-byte member, so it stays 20 bytes
// with every field aligned, and converts to and from std::int64_t like the number it is.
class TMs4 {
public:
    TMs4(std::int64_t ms = 0) noexcept { std::memcpy(teile_.data(), &ms, sizeof ms); }
    operator std::int64_t() const noexcept {
        std::int64_t ms = 0;
        std::memcpy(&ms, teile_.data(), sizeof ms);
        return ms;
    }

private:
    std::array<std::uint32_t, 2> teile_{};
};

// One reading: 20 bytes, so four weeks at one reading a second fit in 49 MB. A reading without
// a temperature holds NaN there. Where the line breaks is kept beside the readings (gaps are
// rare), not in each of them.
struct TVerlaufPunkt {
    TMs4 UtcMs;
    float Wert = 0.0F;
    float Temp = 0.0F;
    float Mittel = 0.0F;

    bool MitTemperatur() const noexcept { return !std::isnan(Temp); }
};
static_assert(sizeof(TVerlaufPunkt) == 20);

// The readings in time order, kept in blocks so that neither adding nor dropping the oldest
// moves the others, and memory grows by one block at a time.
class TPunktFolge {
public:
    static constexpr std::size_t BlockGroesse = 4096;

    std::size_t size() const noexcept { return anzahl_; }
    bool empty() const noexcept { return anzahl_ == 0; }
    const TVerlaufPunkt& operator[](std::size_t i) const noexcept {
        const std::size_t j = anfang_ + i;
        return (*bloecke_[j / BlockGroesse])[j % BlockGroesse];
    }
    const TVerlaufPunkt& back() const noexcept { return (*this)[anzahl_ - 1]; }
    // `lueckeDavor`: the line breaks between the reading before and this one.
    void push_back(const TVerlaufPunkt& punkt, bool lueckeDavor = false);
    void pop_front();
    void clear();
    // Calls `abschnitt(erster, hinter)` for each run of readings [von, bis) that lies together in
    // memory, in order: loops over many readings run without a lookup per reading.
    template <typename F>
    void Abschnitte(std::size_t von, std::size_t bis, F&& abschnitt) const {
        while (von < bis) {
            const std::size_t j = anfang_ + von;
            const std::size_t imBlock = std::min(BlockGroesse - j % BlockGroesse, bis - von);
            const TVerlaufPunkt* erster = &(*bloecke_[j / BlockGroesse])[j % BlockGroesse];
            abschnitt(erster, erster + imBlock);
            von += imBlock;
        }
    }
    // The first index whose time is not before `utcMs` (size() when none).
    std::size_t ErsterAb(std::int64_t utcMs) const;
    // Whether the line breaks before reading i.
    bool LueckeVor(std::size_t i) const;
    // The readings before which the line breaks, as numbers counted from the first reading ever
    // added (reading i is number Entfernt() + i), in order.
    const std::vector<std::uint64_t>& Luecken() const noexcept { return luecken_; }
    std::uint64_t Entfernt() const noexcept { return entfernt_; }
    // Bytes held for the readings, blocks, block list and gaps included.
    std::size_t Speicher() const noexcept;

private:
    using TBlock = std::array<TVerlaufPunkt, BlockGroesse>;
    std::vector<std::unique_ptr<TBlock>> bloecke_;
    std::vector<std::uint64_t> luecken_;
    std::uint64_t entfernt_ = 0; // readings dropped from the front
    std::size_t anfang_ = 0;     // index of the oldest reading in the first block
    std::size_t anzahl_ = 0;
};

// The readings of one quantity, drawn in one unit (µS/cm and mS/cm are one quantity).
struct TVerlaufReihe {
    // "pH", "mV", "Lf", "O2", ... as the meter names it; for a reading whose quantity the meter
    // does not name (a printout's "?") its unit: "pH", "mg/l", "%"; empty when it has neither.
    std::string Messgroesse;
    std::string Einheit; // the unit it is drawn in, bytes as received (code page 850)
    TPunktFolge Punkte;
};

// The decimals a value of the series is written with: two as in the data file, and for a
// conductivity drawn in mS/cm as many more as keep a µS/cm reading's two (0,01410 mS/cm).
int Nachkommastellen(const TVerlaufReihe& reihe);

// What a new reading brings: its quantity ("?" or empty where the meter names none), unit,
// value, temperature and moving average.
struct TVerlaufEingang {
    std::int64_t UtcMs = 0;
    std::string Messgroesse;
    std::string Einheit;
    double Wert = 0.0;
    bool MitTemperatur = false;
    double Temp = 0.0;
    double Mittel = 0.0;
};

// The sample changed: from `UtcMs` on the readings belong to the sample `Text` (UTF-8).
struct TProbenMarke {
    std::int64_t UtcMs = 0;
    std::string Text;

    friend bool operator==(const TProbenMarke&, const TProbenMarke&) = default;
};

// All series of one measurement. A new measurement starts with Leeren. At most Hoechstzahl
// readings are kept over all series; beyond that the oldest leave the chart (never the file),
// and Verworfen counts them.
class TVerlauf {
public:
    // Four weeks at one reading per second.
    static constexpr std::size_t StandardHoechstzahl = 28UL * 24 * 3600;
    // A pause breaks the line when it is longer than this many median spacings of the last
    // readings and at least MindestLueckeMs.
    static constexpr int LueckeFaktor = 3;
    static constexpr std::int64_t MindestLueckeMs = 10000;
    static constexpr std::size_t MedianUeber = 10;
    // A sample a minute for a week.
    static constexpr std::size_t HoechstMarken = 7UL * 24 * 60;

    explicit TVerlauf(std::size_t hoechstzahl = StandardHoechstzahl);

    void Leeren();
    // Adds a reading to the series of its quantity (a new series for a new quantity).
    void Hinzufuegen(const TVerlaufEingang& eingang);
    // The line was interrupted: the next reading starts a new stretch of line.
    void Unterbrechung() noexcept { unterbrochen_ = true; }
    // The sample changed at `utcMs` to `text`: a mark on the time axis. The newest
    // HoechstMarken are kept; Leeren removes them with the readings.
    void ProbeMarkieren(std::int64_t utcMs, std::string text);
    const std::deque<TProbenMarke>& ProbenMarken() const noexcept { return marken_; }

    const std::vector<TVerlaufReihe>& Reihen() const noexcept { return reihen_; }
    // The series the latest reading went to; -1 while there is none.
    int LetzteReihe() const noexcept { return letzteReihe_; }
    // The time of the latest reading, and of the first of the readings in a row that went to
    // its series: since then that series has had the newest reading.
    std::int64_t LetzteMs() const noexcept { return letzteMs_; }
    std::int64_t LetzteReiheSeitMs() const noexcept { return letzteReiheSeitMs_; }
    // Counts Leeren: a view knows a new measurement's series from the old ones.
    std::uint64_t Leerungen() const noexcept { return leerungen_; }
    std::size_t Anzahl() const noexcept { return anzahl_; }
    std::size_t Verworfen() const noexcept { return verworfen_; }
    // Changes whenever a reading or a mark was added or the chart emptied, for views that redraw
    // on it.
    std::uint64_t Stand() const noexcept { return stand_; }
    std::size_t Speicher() const noexcept;

private:
    int ReiheFuer(const std::string& messgroesse, const std::string& einheit, double& faktor);
    bool IstLuecke(const TPunktFolge& punkte, std::int64_t utcMs) const;
    void AeltestenVerwerfen();

    std::size_t hoechstzahl_;
    std::vector<TVerlaufReihe> reihen_;
    std::deque<TProbenMarke> marken_;
    int letzteReihe_ = -1;
    std::int64_t letzteMs_ = 0;
    std::int64_t letzteReiheSeitMs_ = 0;
    std::uint64_t leerungen_ = 0;
    std::size_t anzahl_ = 0;
    std::size_t verworfen_ = 0;
    std::uint64_t stand_ = 0;
    bool unterbrochen_ = false;
};
