// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// The SHA-256 chain over a data file and its audit trail. It starts at 32 zero bytes; each
// link is SHA-256 of the previous value (its 32 raw bytes) followed by the bytes of the link: a
// data-file line exactly as in the file (with its CR LF), or an audit line up to and including
// the tab before its chain field.
class TKette {
public:
    using TWert = std::array<unsigned char, 32>;

    TKette() = default;
    explicit TKette(const TWert& wert) noexcept
        : wert_(wert) {}

    // Extends the chain by `bytes`; raises std::runtime_error when the hashing library fails.
    void Anhaengen(std::string_view bytes);

    const TWert& Wert() const noexcept { return wert_; }
    // The value in 64 lower-case hexadecimal digits, as the audit trail writes it.
    std::string Hex() const;
    // The value of 64 hexadecimal digits; nothing for any other text.
    static std::optional<TWert> AusHex(std::string_view hex);

private:
    TWert wert_{};
};
