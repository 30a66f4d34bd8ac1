// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

// What could not be written yet (lines of the data file, records of a capture), oldest first,
// to be written before anything newer as soon as writing works again. It holds at most
// `hoechstAnzahl` units and, beyond the newest one, `hoechstBytes` bytes; beyond that the
// oldest go, and are counted.
class TRueckstau {
public:
    TRueckstau(std::size_t hoechstAnzahl, std::size_t hoechstBytes) noexcept
        : hoechstAnzahl_(hoechstAnzahl)
        , hoechstBytes_(hoechstBytes) {}

    void Anhaengen(std::string_view einheit);

    bool Leer() const noexcept { return einheiten_.empty(); }
    std::size_t Anzahl() const noexcept { return einheiten_.size(); }
    const std::string& Erste() const { return einheiten_.front(); }
    void ErsteEntfernen();
    // Counts everything still held as lost and empties it.
    void AllesVerwerfen();

    // Units and bytes that went for lack of room since the counters were last taken.
    std::uint64_t Verloren() const noexcept { return verloren_; }
    std::uint64_t VerloreneBytes() const noexcept { return verloreneBytes_; }
    void VerlusteVergessen() noexcept { verloren_ = verloreneBytes_ = 0; }

private:
    void Verwerfen();

    std::size_t hoechstAnzahl_;
    std::size_t hoechstBytes_;
    std::deque<std::string> einheiten_;
    std::size_t bytes_ = 0;
    std::uint64_t verloren_ = 0;
    std::uint64_t verloreneBytes_ = 0;
};
