// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text with every blank (0x20) removed; no other byte is touched.
std::string LeerzeichenEntfernen(std::string_view text);

// Result of converting a decimal text: the value of the number at the start of the text and the
// 1-based position of the first character not taken (0 when the whole text was taken).
struct TZahlErgebnis {
    double Wert = 0.0;
    std::size_t Stopp = 0;
};

// Converts optional leading blanks, an optional sign, digits with an optional "." and further
// digits (at least one digit before or after the point: "12." and ".5" are numbers), and an
// optional exponent ("E" or "e", optional sign, at least one digit). The point is always ".",
// whatever the locale.
//
// `Wert` is the value of the part that was taken, so a text that does not convert completely
// still yields the value of its convertible start ("12.5x" gives 12.5, stop 5). A text with no
// number gives 0. The value is always finite: an exponent that would overflow the range of a
// double is not taken (conversion stops at the "E"), one that underflows gives 0, and a mantissa
// too large on its own is not taken at all. Negative zero is returned as 0.
TZahlErgebnis ZahlWandeln(std::string_view text);
