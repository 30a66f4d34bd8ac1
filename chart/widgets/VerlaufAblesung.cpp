// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufAblesung.h"

#include "acquisition/Zahlformat.h"
#include "chart/Ablesung.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int Innen = 6;
constexpr int Abstand = 10;

QString Zahl(double wert, int stellen) {
    return QString::fromStdString(Festkomma(wert, 0, stellen, ','));
}

} // namespace

std::optional<TAblesung> Ablesen(const TVerlaufBild& bild, const TVerlaufMass& mass,
                                 double zeitMs) {
    if (bild.Reihe == nullptr) {
        return std::nullopt;
    }
    const TPunktFolge& punkte = bild.Reihe->Punkte;
    const auto naechster = NaechsterPunkt(punkte, TLinie::Wert, zeitMs, bild.VonMs, bild.BisMs);
    if (!naechster) {
        return std::nullopt;
    }
    const TVerlaufPunkt& punkt = punkte[*naechster];
    TAblesung ablesung;
    ablesung.UtcMs = punkt.UtcMs;
    ablesung.Zeilen.push_back(
        {DatumZeitText(static_cast<double>(ablesung.UtcMs)), Qt::black, -1.0});
    const int stellen = Nachkommastellen(*bild.Reihe);
    const QRect& r = mass.Flaeche;
    for (const TLegendenEintrag& linie : Legende(bild, mass.Temp.Belegt)) {
        const TVerlaufPunkt* quelle = &punkt;
        if (linie.Linie == TLinie::Temp) {
            const auto mitTemp =
                NaechsterPunkt(punkte, TLinie::Temp, zeitMs, bild.VonMs, bild.BisMs);
            if (!mitTemp) {
                continue;
            }
            quelle = &punkte[*mitTemp];
        }
        float wert = 0.0F;
        LinienWert(*quelle, linie.Linie, wert);
        const bool temp = linie.Linie == TLinie::Temp;
        const QString text = linie.Text + QStringLiteral(": ") +
                             (temp ? Zahl(wert, 2) + QStringLiteral(" °C") : Zahl(wert, stellen));
        const double y = temp ? mass.Temp.Y(wert, r) : mass.Wert.Y(wert, r);
        ablesung.Zeilen.push_back({text, linie.Farbe, std::clamp<double>(y, r.top(), r.bottom())});
    }
    return ablesung;
}

void AblesungZeichnen(QPainter& maler, const TVerlaufMass& mass, const TAblesung& ablesung,
                      bool marke) {
    const QRect& r = mass.Flaeche;
    const double x = mass.X(static_cast<double>(ablesung.UtcMs));
    if (x < r.left() || x > r.right()) {
        return;
    }
    maler.save();
    maler.setRenderHint(QPainter::Antialiasing, true);
    maler.setPen(QPen(QColor(0x40, 0x40, 0x40), 1, marke ? Qt::SolidLine : Qt::DotLine));
    maler.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    for (const TAblesungsZeile& zeile : ablesung.Zeilen) {
        if (zeile.Y >= 0) {
            maler.setPen(Qt::white);
            maler.setBrush(zeile.Farbe);
            maler.drawEllipse(QPointF(x, zeile.Y), 3.5, 3.5);
        }
    }
    const QFontMetrics metrik = maler.fontMetrics();
    int breite = 0;
    for (const TAblesungsZeile& zeile : ablesung.Zeilen) {
        breite = std::max(breite, metrik.horizontalAdvance(zeile.Text));
    }
    const int hoehe = static_cast<int>(ablesung.Zeilen.size()) * metrik.height();
    QRect kasten(0, 0, breite + 2 * Innen, hoehe + 2 * Innen);
    const int links = static_cast<int>(x) + Abstand;
    kasten.moveLeft(links + kasten.width() <= r.right()
                        ? links
                        : static_cast<int>(x) - Abstand - kasten.width());
    kasten.moveTop(marke ? r.bottom() - kasten.height() - Innen
                         : r.top() + 3 * Innen + metrik.height());
    maler.setPen(QColor(0x90, 0x90, 0x90));
    maler.setBrush(QColor(255, 255, 255, 235));
    maler.drawRect(kasten);
    int y = kasten.top() + Innen;
    for (const TAblesungsZeile& zeile : ablesung.Zeilen) {
        maler.setPen(zeile.Farbe);
        maler.drawText(QRect(kasten.left() + Innen, y, breite + 2, metrik.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, zeile.Text);
        y += metrik.height();
    }
    maler.restore();
}
