// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/VerlaufPlatz.h"

#include <algorithm>
#include <array>

namespace {

constexpr int Abstand = 8; // pixels between the chart and what it must not cover

enum class TSeite { Rechts, Links, Oben, Unten };

struct TRaum {
    TSeite Seite;
    QRect Flaeche;
};

int Begrenzt(int wert, int kleinster, int groesster) {
    return std::max(kleinster, std::min(wert, groesster));
}

// The chart in its room: beside the main window at its height, or over the table with its
// lower edge next to the kept part, or under that part; as far left as the main window.
QRect Legen(const TRaum& raum, QSize groesse, const QRect& haupt) {
    const QRect& f = raum.Flaeche;
    const int x = Begrenzt(haupt.left(), f.left(), f.right() - groesse.width() + 1);
    const int y = Begrenzt(haupt.top(), f.top(), f.bottom() - groesse.height() + 1);
    switch (raum.Seite) {
    case TSeite::Rechts:
        return {QPoint(f.left(), y), groesse};
    case TSeite::Links:
        return {QPoint(f.right() - groesse.width() + 1, y), groesse};
    case TSeite::Oben:
        return {QPoint(x, f.bottom() - groesse.height() + 1), groesse};
    case TSeite::Unten:
        break;
    }
    return {QPoint(x, f.top()), groesse};
}

bool Fasst(const QRect& flaeche, QSize groesse) {
    return flaeche.isValid() && flaeche.width() >= groesse.width() &&
           flaeche.height() >= groesse.height();
}

} // namespace

QRect VerlaufRahmen(const TVerlaufLage& lage, const QRect& bildschirm) {
    const QRect& haupt = lage.Hauptfenster;
    const QRect& frei = bildschirm;
    const std::array<TRaum, 2> daneben{{
        {TSeite::Rechts,
         QRect(QPoint(haupt.right() + 1 + Abstand, frei.top()), frei.bottomRight())},
        {TSeite::Links, QRect(frei.topLeft(), QPoint(haupt.left() - 1 - Abstand, frei.bottom()))},
    }};
    const std::array<TRaum, 2> darueber{{
        {TSeite::Oben, QRect(frei.topLeft(), QPoint(frei.right(), lage.Unten.top() - 1 - Abstand))},
        {TSeite::Unten,
         QRect(QPoint(frei.left(), lage.Unten.bottom() + 1 + Abstand), frei.bottomRight())},
    }};
    // Beside before over; in each, a room the chart fits in as it is before one it fits in
    // made smaller.
    for (const auto& raeume : {daneben, darueber}) {
        for (const QSize noetig : {lage.Groesse, lage.Kleinste}) {
            for (const TRaum& raum : raeume) {
                if (Fasst(raum.Flaeche, noetig)) {
                    return Legen(raum, lage.Groesse.boundedTo(raum.Flaeche.size()), haupt);
                }
            }
        }
    }
    QRect rahmen = Legen(darueber[0], lage.Kleinste, haupt);
    rahmen.moveTop(std::max(rahmen.top(), frei.top()));
    return rahmen;
}
