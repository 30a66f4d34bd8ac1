// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/widgets/VerlaufZeichnung.h"

#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

// What the chart shows at one moment: the nearest reading of each drawn line, as a small box
// inside the plot beside the pointer (or the marker), not as a tooltip over the readings.
struct TAblesungsZeile {
    QString Text;    // "07.12.2026, 10:00:05", "pH: 7,01", "Temperatur: 25,00 °C"
    QColor Farbe;    // the line's colour; black for the time
    double Y = -1.0; // where the line's dot goes; below 0 for the time
};

struct TAblesung {
    std::int64_t UtcMs = 0; // the time of the series' nearest reading
    std::vector<TAblesungsZeile> Zeilen;
};

// The readout at `zeitMs` of the picture drawn with `mass`; none when no reading is in view.
std::optional<TAblesung> Ablesen(const TVerlaufBild& bild, const TVerlaufMass& mass, double zeitMs);

// Draws a readout: a vertical line at its reading, a dot on each line there, and the box. A
// marker's line is solid and its box sits at the bottom of the plot; the pointer's is dotted
// and its box near the top, so the two never cover each other.
void AblesungZeichnen(QPainter& maler, const TVerlaufMass& mass, const TAblesung& ablesung,
                      bool marke);
