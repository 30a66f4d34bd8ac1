// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The window-free helpers of saving: time stamps (reading, text, arithmetic, TDateTime), the
// PC's date and time texts and generated file names.
#include "storage/Dateinamen.h"
#include "storage/DatumZeit.h"
#include "storage/PCZeit.h"
#include "storage/Zeitpunkt.h"
#include "storage/ZeitpunktLesen.h"
#include "storage/Zeitrechnung.h"
