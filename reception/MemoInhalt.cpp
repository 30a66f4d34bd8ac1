// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "reception/MemoInhalt.h"

bool MemoAnhaengen(TMemoInhalt& memo, const QString& anzeige, bool zeilenvorschub) {
    memo.Text += anzeige;
    if (zeilenvorschub) {
        ++memo.MemoZeilen;
    }
    // The newest text goes too: the memo starts over rather than growing without end.
    if (MemoLaenge(memo) > MemoHoechstLaenge || memo.MemoZeilen > MemoHoechstZeilen) {
        MemoLeeren(memo);
        return true;
    }
    return false;
}

void MemoLeeren(TMemoInhalt& memo) {
    memo.Text.clear();
    memo.MemoZeilen = 0;
    ++memo.Leerungen;
}
