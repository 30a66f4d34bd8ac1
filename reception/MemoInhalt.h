// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QString>

#include <cstdint>

// What the memo holds: the display texts of the chunks since it was last emptied. The text keeps
// the carriage return and line feed after each "<LF>", so both count in its length.
struct TMemoInhalt {
    QString Text;
    // Chunks that contained a line feed since the memo was last emptied.
    std::uint8_t MemoZeilen = 0;
    // Raised every time the memo is emptied, so a view knows to start over.
    std::uint64_t Leerungen = 0;
};

inline constexpr int MemoHoechstLaenge = 1000;
inline constexpr int MemoHoechstZeilen = 9;

// Appends one chunk's display text; a chunk that held a line feed counts once. When the text is
// then longer than 1000 characters or more than nine such chunks were counted, the memo is
// emptied (the new text included). Returns whether it was emptied.
bool MemoAnhaengen(TMemoInhalt& memo, const QString& anzeige, bool zeilenvorschub);

// Empties the memo and its chunk count.
void MemoLeeren(TMemoInhalt& memo);

// The length that the window shows: every character, CR and LF after "<LF>" included.
inline int MemoLaenge(const TMemoInhalt& memo) {
    return static_cast<int>(memo.Text.size());
}
