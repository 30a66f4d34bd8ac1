// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Sample, operator and electrode: what the readings from now on are taken of, by whom and with
// which electrode. They stay until changed. The values are UTF-8 text.
enum class TAngabe : std::uint8_t { Probe, Bediener, Elektrode };

inline constexpr std::array<TAngabe, 3> AlleAngaben = {TAngabe::Probe, TAngabe::Bediener,
                                                       TAngabe::Elektrode};

struct TAngaben {
    std::string Probe;
    std::string Bediener;
    std::string Elektrode;

    std::string& operator[](TAngabe angabe) noexcept;
    const std::string& operator[](TAngabe angabe) const noexcept;
    friend bool operator==(const TAngaben&, const TAngaben&) = default;
};

// "Probe", "Bediener", "Elektrode": the name in the data file's header, the audit trail, the
// capture and on the logger's standard input.
std::string_view AngabeName(TAngabe angabe);
// The field of such a name; nothing for any other text.
std::optional<TAngabe> AngabeAusName(std::string_view name);

// A value as a data-file field: Windows-1252 (a character it lacks, and a byte that is no
// UTF-8, becomes "?"), every control character (tab, CR, LF among them) a space, so a value
// never splits a line or a field.
std::string AngabeFeld(std::string_view wert);

// The value as UTF-8 with every control character a space: the same field on a text line.
std::string AngabeText(std::string_view wert);

// The name the program's user logs in with: the operator until another is named.
std::string AnmeldeName();
