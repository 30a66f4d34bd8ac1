// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufZeichnung.h"

#include "chart/Ausduennung.h"
#include "chart/Zeitachse.h"
#include "framework/Codepage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int RandLinks = 64;
constexpr int RandRechts = 56;
constexpr int RandOben = 28;
constexpr int RandUnten = 30;
constexpr double MindestSpanneMs = 60000.0;

const QColor WertFarbe(0x1f, 0x4e, 0x9c);
const QColor MittelFarbe(0xe0, 0x7b, 0x00);
const QColor TempFarbe(0xb0, 0x30, 0x30);
const QColor GitterFarbe(0xe4, 0xe4, 0xe4);

// A value range for an axis: the columns' least and greatest, widened a little, never empty.
struct TAchse {
    double Min = 0.0;
    double Max = 1.0;
    bool Belegt = false;

    void Aufnehmen(const std::vector<TSpalte>& spalten) {
        for (const TSpalte& s : spalten) {
            if (s.Belegt) {
                Min = Belegt ? std::min<double>(Min, s.Min) : s.Min;
                Max = Belegt ? std::max<double>(Max, s.Max) : s.Max;
                Belegt = true;
            }
        }
    }
    void Abschliessen() {
        const double rand = Max > Min ? (Max - Min) * 0.05 : std::max(std::abs(Max) * 0.01, 0.5);
        Min -= rand;
        Max += rand;
    }
    double Y(double wert, const QRect& r) const {
        return r.bottom() - (wert - Min) / (Max - Min) * (r.height() - 1);
    }
};

// One line from its columns: each column from where the line comes in, over its least and
// greatest reading, to where it goes on; a gap starts a new stretch; a lone reading is a dot.
// Drawn with a one-pixel cosmetic pen as polylines, the rasteriser's fast path: a stroked path
// of a week of readings would take a thousand times longer.
void LinieZeichnen(QPainter& maler, const std::vector<TSpalte>& spalten, const TAchse& achse,
                   const QRect& r, const QColor& farbe) {
    QPen stift(farbe, 0);
    stift.setCosmetic(true);
    maler.setPen(stift);
    maler.setBrush(farbe);
    std::vector<QPointF> strecke;
    const auto zeichnen = [&] {
        if (strecke.size() > 2 || (strecke.size() == 2 && strecke[0] != strecke[1])) {
            maler.drawPolyline(strecke.data(), static_cast<int>(strecke.size()));
        } else if (!strecke.empty()) {
            maler.drawEllipse(strecke.front(), 1.5, 1.5);
        }
        strecke.clear();
    };
    for (std::size_t k = 0; k < spalten.size(); ++k) {
        const TSpalte& s = spalten[k];
        if (!s.Belegt) {
            continue;
        }
        if (s.LueckeDavor) {
            zeichnen();
        }
        const double x = r.left() + static_cast<double>(k) + 0.5;
        strecke.emplace_back(x, achse.Y(s.Erster, r));
        if (s.Min != s.Max) {
            strecke.emplace_back(x, achse.Y(s.Min, r));
            strecke.emplace_back(x, achse.Y(s.Max, r));
        }
        strecke.emplace_back(x, achse.Y(s.Letzter, r));
    }
    zeichnen();
}

void WertachseZeichnen(QPainter& maler, const QRect& r, const TAchse& achse, bool links,
                       const QColor& farbe, const QString& titel) {
    maler.setPen(farbe);
    const QFontMetrics metrik = maler.fontMetrics();
    for (const TWertStrich& strich :
         WertStriche(achse.Min, achse.Max, std::max(2, r.height() / 40))) {
        const double y = achse.Y(strich.Wert, r);
        const QString text = QString::fromStdString(strich.Text);
        if (links) {
            maler.setPen(GitterFarbe);
            maler.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
            maler.setPen(farbe);
            maler.drawText(QRectF(0, y - 8, r.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                           text);
        } else {
            maler.drawText(QRectF(r.right() + 6, y - 8, metrik.horizontalAdvance(text) + 2, 16),
                           Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
    const QRect kopf(links ? 0 : r.right() - 120, 4, links ? r.left() + 120 : 120 + RandRechts, 18);
    maler.drawText(kopf.adjusted(4, 0, -4, 0),
                   (links ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, titel);
}

void ZeitachseZeichnen(QPainter& maler, const QRect& r, double vonMs, double bisMs) {
    const double breite = bisMs - vonMs;
    for (const TZeitStrich& strich : ZeitStriche(vonMs, bisMs, std::max(2, r.width() / 110))) {
        const double x =
            r.left() + (static_cast<double>(strich.UtcMs) - vonMs) / breite * r.width();
        maler.setPen(GitterFarbe);
        maler.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
        maler.setPen(Qt::black);
        maler.drawLine(QPointF(x, r.bottom()), QPointF(x, r.bottom() + 4));
        maler.drawText(QRectF(x - 50, r.bottom() + 6, 100, 18), Qt::AlignHCenter | Qt::AlignTop,
                       QString::fromUtf8(strich.Text));
    }
}

} // namespace

QString Achsentitel(const TVerlaufReihe& reihe) {
    const QString groesse = Cp850ZuText(reihe.Messgroesse);
    const QString einheit = Cp850ZuText(reihe.Einheit);
    return einheit.isEmpty() || einheit == groesse
               ? groesse
               : QStringLiteral("%1 [%2]").arg(groesse, einheit);
}

QRect Zeichenflaeche(const QRect& flaeche) {
    return flaeche.adjusted(RandLinks, RandOben, -RandRechts, -RandUnten);
}

void GanzerBereich(const TVerlaufReihe* reihe, double& vonMs, double& bisMs) {
    vonMs = 0.0;
    bisMs = MindestSpanneMs;
    if (reihe == nullptr || reihe->Punkte.empty()) {
        return;
    }
    vonMs = static_cast<double>(reihe->Punkte[0].UtcMs);
    bisMs =
        std::max(static_cast<double>(reihe->Punkte.back().UtcMs) + 1.0, vonMs + MindestSpanneMs);
}

void VerlaufZeichnen(QPainter& maler, const QRect& flaeche, const TVerlaufBild& bild) {
    maler.fillRect(flaeche, Qt::white);
    const QRect r = Zeichenflaeche(flaeche);
    if (r.width() < 10 || r.height() < 10) {
        return;
    }
    maler.setRenderHint(QPainter::Antialiasing, false);
    if (bild.Reihe == nullptr || bild.Reihe->Punkte.empty()) {
        maler.setPen(Qt::darkGray);
        maler.drawText(r, Qt::AlignCenter, QStringLiteral("Noch keine Messwerte"));
        return;
    }
    const TPunktFolge& punkte = bild.Reihe->Punkte;
    const auto spalten = [&](TLinie linie) {
        return Ausduennen(punkte, linie, bild.VonMs, bild.BisMs, r.width());
    };
    const std::vector<TSpalte> werte = spalten(TLinie::Wert);
    const std::vector<TSpalte> mittel =
        bild.Mittel ? spalten(TLinie::Mittel) : std::vector<TSpalte>{};
    const std::vector<TSpalte> temps = spalten(TLinie::Temp);
    // The readings set the value axis. The moving average stays inside it but for its start,
    // where the readings not yet received count as 0: that part is cut off at the edge rather
    // than squeezing the readings into a strip.
    TAchse links;
    links.Aufnehmen(werte);
    links.Abschliessen();
    TAchse rechts;
    rechts.Aufnehmen(temps);
    rechts.Abschliessen();

    ZeitachseZeichnen(maler, r, bild.VonMs, bild.BisMs);
    WertachseZeichnen(maler, r, links, true, WertFarbe, Achsentitel(*bild.Reihe));
    if (rechts.Belegt) {
        WertachseZeichnen(maler, r, rechts, false, TempFarbe, QStringLiteral("Temp. [°C]"));
    }
    maler.setPen(Qt::black);
    maler.setBrush(Qt::NoBrush);
    maler.drawRect(r);
    maler.save();
    maler.setClipRect(r);
    LinieZeichnen(maler, temps, rechts, r, TempFarbe);
    if (bild.Mittel) {
        LinieZeichnen(maler, mittel, links, r, MittelFarbe);
    }
    LinieZeichnen(maler, werte, links, r, WertFarbe);
    maler.restore();
}
