// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"

#include <QRect>
#include <QString>

class QPainter;

// What one picture of the chart shows: a series in a time range, with or without its moving
// average. The temperature of the same readings goes on the right axis.
struct TVerlaufBild {
    const TVerlaufReihe* Reihe = nullptr;
    double VonMs = 0.0;
    double BisMs = 0.0;
    bool Mittel = false;
};

// "pH", "Lf [µS/cm]": the quantity of a series and the unit it is drawn in.
QString Achsentitel(const TVerlaufReihe& reihe);

// The plot area inside `flaeche`, without the axes' margins.
QRect Zeichenflaeche(const QRect& flaeche);

// Paints the chart into `flaeche`: the time axis at the bottom in local time, the value on the
// left titled with quantity and unit, the temperature in °C on the right, one pixel column of
// readings at a time (least to greatest), lines broken at gaps.
void VerlaufZeichnen(QPainter& maler, const QRect& flaeche, const TVerlaufBild& bild);

// The whole time range of a series, at least a minute wide; [0, 60000) when it is empty.
void GanzerBereich(const TVerlaufReihe* reihe, double& vonMs, double& bisMs);
