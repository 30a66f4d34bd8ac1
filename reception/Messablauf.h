// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "reception/ProgrammZustand.h"
#include "settings/Konfiguration.h"
#include "storage/Zeitpunkt.h"

// The transitions of a measurement's state, the one place that decides them: the live run (the
// window and the logger, through TMessung) and the replay of a capture both go through here.

// A measurement of `art` (lmRS232 or lmWTW) begins: the meter layout and its fresh sums and
// averages, or the unformatted layout.
void MessungsZustandBeginnen(TProgrammZustand& zustand, TLeseModus art);

// The measurement ended.
void MessungsZustandBeenden(TProgrammZustand& zustand);

// Saving of `art` (Sofort or Auto) begins into the data file `konfiguration` names (see
// SpeichernStarten), switching off the other kind. When the file cannot be opened, saving stays
// off and EMeldung says why, naming the file.
void SpeichernEinschalten(TProgrammZustand& zustand, TKonfiguration& konfiguration,
                          TSpeicherArt art, const TZeitpunkt& heute);

// Saving ends and the data file is closed (EInOutError when closing fails; saving is off all the
// same). Nothing happens while no saving is on.
void SpeichernAusschalten(TProgrammZustand& zustand);
