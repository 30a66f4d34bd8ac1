// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QRect>
#include <QSize>

// Where the window "Verlauf" opens, in global coordinates and frame rectangles. It must not
// cover the main window's saving row and bottom panel (saving state, file name, count, lamps):
// those say whether the measurement still runs and saves while the user watches the chart.
struct TVerlaufLage {
    QRect Hauptfenster; // the main window's frame
    QRect Unten;        // the part of the main window that stays in view
    QSize Groesse;      // the chart's frame at the size it has
    QSize Kleinste;     // the chart's smallest frame
};

// Beside the main window (right, else left) where the screen has room for at least the smallest
// chart, else over the table (above the kept part), else below it; the chart is made smaller
// where the room is smaller than its size. On a screen too small for all of that, over the table
// at its smallest size, kept on the screen.
QRect VerlaufRahmen(const TVerlaufLage& lage, const QRect& bildschirm);
