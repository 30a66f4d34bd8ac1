// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The most bytes the record being assembled may hold; further bytes are dropped, so a meter that
// never ends its line cannot make the program grow.
inline constexpr std::size_t RahmenPufferGroesse = 255;

// A framed printout keeps at most this many bytes (before its control bytes are removed).
inline constexpr std::size_t RahmenInhaltGroesse = 254;

// Framing state of a meter measurement: the record being assembled, whether a DC3 ... DC1 frame
// is open, and whether the record just completed came from such a frame.
struct TRahmenZustand {
    std::string EmpfangsPuffer;
    bool InRahmen = false;
    bool Gerahmt = false;
};

// Adds one received chunk to the record being assembled and returns true when EmpfangsPuffer now
// holds a complete record: a framed printout (DC3 ... DC1, control bytes removed, Gerahmt set), or
// a plain line whose 18th character is "C"/"c" or that is followed by a chunk beginning with a
// line feed. The caller parses the record and then empties EmpfangsPuffer. At most one record
// completes per chunk. DC3 and DC1 are acted on even when the buffer is full.
bool RahmenPruefen(std::string_view chunk, TRahmenZustand& zustand);
