// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Ausduennung.h"
#include "chart/Verlauf.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <deque>
#include <vector>

class QPainter;

inline const QColor VerlaufWertFarbe(0x1f, 0x4e, 0x9c);
inline const QColor VerlaufMittelFarbe(0xe0, 0x7b, 0x00);
inline const QColor VerlaufTempFarbe(0xb0, 0x30, 0x30);
inline const QColor VerlaufProbenFarbe(0x2e, 0x7d, 0x32);

// What one picture of the chart shows: a series in a time range, with or without its moving
// average. The temperature of the same readings goes on the right axis.
struct TVerlaufBild {
    const TVerlaufReihe* Reihe = nullptr;
    double VonMs = 0.0;
    double BisMs = 0.0;
    bool Mittel = false;
    // The sample changes to mark on the time axis; none when empty.
    const std::deque<TProbenMarke>* Marken = nullptr;
};

// A value axis: the range of the drawn columns, widened a little, never empty.
struct TVerlaufAchse {
    double Min = 0.0;
    double Max = 1.0;
    bool Belegt = false;

    void Aufnehmen(const std::vector<TSpalte>& spalten);
    void Abschliessen();
    double Y(double wert, const QRect& r) const {
        return r.bottom() - (wert - Min) / (Max - Min) * (r.height() - 1);
    }
};

// Where a picture put what it drew, for what is drawn over it (the readout, the marker).
struct TVerlaufMass {
    QRect Flaeche; // the plot area
    double VonMs = 0.0;
    double BisMs = 1.0;
    TVerlaufAchse Wert;
    TVerlaufAchse Temp; // Belegt: the temperature line is drawn

    double X(double utcMs) const {
        return Flaeche.left() + (utcMs - VonMs) / (BisMs - VonMs) * Flaeche.width();
    }
};

// One drawn line as the legend names it.
struct TLegendenEintrag {
    TLinie Linie = TLinie::Wert;
    QString Text;
    QColor Farbe;
};

// "pH", "Lf [µS/cm]", "O2 [mg/l]", "%": the quantity of a series and the unit it is drawn in;
// "Messwert" for readings without either.
QString Achsentitel(const TVerlaufReihe& reihe);

// The lines a picture draws, in the legend's order: the series, "Gleitendes Mittel" where it is
// shown, "Temperatur" where the readings in view have one.
std::vector<TLegendenEintrag> Legende(const TVerlaufBild& bild, bool mitTemperatur);

// The plot area inside `flaeche`, without the axes' margins.
QRect Zeichenflaeche(const QRect& flaeche);

// Paints the chart into `flaeche`: the title line above it where one is given (a picture for
// export or the clipboard has one), the time axis at
// the bottom in local time, the value on the left titled with quantity and unit, the
// temperature in °C on the right, one pixel column of readings at a time (least to greatest),
// lines broken at gaps, each sample change as a thin vertical line with the sample's name at the
// top, and a legend inside the plot.
TVerlaufMass VerlaufZeichnen(QPainter& maler, const QRect& flaeche, const TVerlaufBild& bild,
                             const QString& titel = {});

// The whole time range of a series, at least a minute wide; [0, 60000) when it is empty.
void GanzerBereich(const TVerlaufReihe* reihe, double& vonMs, double& bisMs);

// "07.12.2026, 10:00:05": the local date and time of a moment.
QString DatumZeitText(double utcMs);
