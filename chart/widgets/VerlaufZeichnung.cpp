// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufZeichnung.h"

#include "chart/Ausduennung.h"
#include "chart/Zeitachse.h"
#include "framework/Codepage.h"
#include "storage/PCZeit.h"
#include "storage/Uhr.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int RandLinks = 64;
constexpr int RandRechts = 56;
constexpr int RandOben = 28;
constexpr int RandUnten = 30;
constexpr int TitelHoehe = 24;
constexpr double MindestSpanneMs = 60000.0;

const QColor GitterFarbe(0xe4, 0xe4, 0xe4);

// One line from its columns: each column from where the line comes in, over its least and
// greatest reading, to where it goes on; a gap starts a new stretch; a lone reading is a dot.
// Drawn with a one-pixel cosmetic pen as polylines, the rasteriser's fast path: a stroked path
// of a week of readings would take a thousand times longer.
void LinieZeichnen(QPainter& maler, const std::vector<TSpalte>& spalten, const TVerlaufAchse& achse,
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

void WertachseZeichnen(QPainter& maler, const QRect& r, const TVerlaufAchse& achse, bool links,
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
            maler.drawText(QRectF(r.left() - RandLinks, y - 8, RandLinks - 6, 16),
                           Qt::AlignRight | Qt::AlignVCenter, text);
        } else {
            maler.drawText(QRectF(r.right() + 6, y - 8, metrik.horizontalAdvance(text) + 2, 16),
                           Qt::AlignLeft | Qt::AlignVCenter, text);
        }
    }
    const int oben = r.top() - RandOben + 4;
    const QRect kopf = links ? QRect(r.left() - RandLinks, oben, RandLinks + 120, 18)
                             : QRect(r.right() - 120, oben, 120 + RandRechts, 18);
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

// The legend: one row at the plot's top left, each line's stroke and name in its colour, on a
// white ground that lets the readings below show faintly.
void LegendeZeichnen(QPainter& maler, const QRect& r,
                     const std::vector<TLegendenEintrag>& eintraege) {
    constexpr int Strich = 18;
    constexpr int Abstand = 6;
    constexpr int Zwischen = 14;
    const QFontMetrics metrik = maler.fontMetrics();
    int breite = Abstand - Zwischen;
    for (const TLegendenEintrag& e : eintraege) {
        breite += Zwischen + Strich + Abstand + metrik.horizontalAdvance(e.Text);
    }
    const QRect kasten(r.left() + 6, r.top() + 6, breite + Abstand, metrik.height() + 6);
    maler.setPen(GitterFarbe.darker(130));
    maler.setBrush(QColor(255, 255, 255, 220));
    maler.drawRect(kasten);
    int x = kasten.left() + Abstand;
    const int mitte = kasten.center().y();
    for (const TLegendenEintrag& e : eintraege) {
        maler.setPen(QPen(e.Farbe, 2));
        maler.drawLine(x, mitte, x + Strich, mitte);
        x += Strich + Abstand;
        const int textbreite = metrik.horizontalAdvance(e.Text);
        maler.drawText(QRect(x, kasten.top(), textbreite + 2, kasten.height()),
                       Qt::AlignLeft | Qt::AlignVCenter, e.Text);
        x += textbreite + Zwischen;
    }
}

// Each sample change in view: a thin vertical line over the plot's height and the sample's name
// at its top, below the legend, cut short where the next mark follows closely.
void MarkenZeichnen(QPainter& maler, const TVerlaufMass& mass,
                    const std::deque<TProbenMarke>& marken) {
    constexpr int LaengsterName = 160;
    constexpr int KuerzesterName = 24;
    const QRect& r = mass.Flaeche;
    const QFontMetrics metrik = maler.fontMetrics();
    const int oben = r.top() + 2 * metrik.height() + 4; // below the legend
    std::vector<double> xe;
    for (const TProbenMarke& marke : marken) {
        const auto ms = static_cast<double>(marke.UtcMs);
        xe.push_back(ms >= mass.VonMs && ms <= mass.BisMs ? std::floor(mass.X(ms)) + 0.5 : -1.0);
    }
    QPen stift(VerlaufProbenFarbe, 0);
    stift.setCosmetic(true);
    for (std::size_t i = 0; i < marken.size(); ++i) {
        if (xe[i] < 0.0) {
            continue;
        }
        maler.setPen(stift);
        maler.drawLine(QPointF(xe[i], r.top()), QPointF(xe[i], r.bottom()));
        double platz = LaengsterName;
        for (std::size_t j = i + 1; j < marken.size(); ++j) {
            if (xe[j] >= 0.0) {
                platz = std::min(platz, xe[j] - xe[i] - 6.0);
                break;
            }
        }
        const QString name = metrik.elidedText(QString::fromStdString(marken[i].Text),
                                               Qt::ElideRight, static_cast<int>(platz));
        if (platz < KuerzesterName || name.isEmpty()) {
            continue;
        }
        const QRectF kasten(xe[i] + 2, oben, metrik.horizontalAdvance(name) + 4, metrik.height());
        maler.fillRect(kasten, QColor(255, 255, 255, 220));
        maler.drawText(kasten, Qt::AlignLeft | Qt::AlignVCenter, name);
    }
}

// The title line above the chart; returns the area left for the chart.
QRect TitelZeichnen(QPainter& maler, const QRect& flaeche, const QString& titel) {
    if (titel.isEmpty()) {
        return flaeche;
    }
    QFont schrift = maler.font();
    schrift.setBold(true);
    maler.save();
    maler.setFont(schrift);
    maler.setPen(Qt::black);
    maler.drawText(QRect(flaeche.left() + 8, flaeche.top(), flaeche.width() - 16, TitelHoehe),
                   Qt::AlignLeft | Qt::AlignVCenter, titel);
    maler.restore();
    return flaeche.adjusted(0, TitelHoehe, 0, 0);
}

} // namespace

void TVerlaufAchse::Aufnehmen(const std::vector<TSpalte>& spalten) {
    for (const TSpalte& s : spalten) {
        if (s.Belegt) {
            Min = Belegt ? std::min<double>(Min, s.Min) : s.Min;
            Max = Belegt ? std::max<double>(Max, s.Max) : s.Max;
            Belegt = true;
        }
    }
}

void TVerlaufAchse::Abschliessen() {
    const double rand = Max > Min ? (Max - Min) * 0.05 : std::max(std::abs(Max) * 0.01, 0.5);
    Min -= rand;
    Max += rand;
}

QString Achsentitel(const TVerlaufReihe& reihe) {
    const QString groesse = Cp850ZuText(reihe.Messgroesse);
    const QString einheit = Cp850ZuText(reihe.Einheit);
    if (groesse.isEmpty() || groesse == QStringLiteral("?")) {
        return einheit.isEmpty() ? QStringLiteral("Messwert") : einheit;
    }
    return einheit.isEmpty() || einheit == groesse
               ? groesse
               : QStringLiteral("%1 [%2]").arg(groesse, einheit);
}

std::vector<TLegendenEintrag> Legende(const TVerlaufBild& bild, bool mitTemperatur) {
    std::vector<TLegendenEintrag> eintraege;
    if (bild.Reihe == nullptr) {
        return eintraege;
    }
    eintraege.push_back({TLinie::Wert, Achsentitel(*bild.Reihe), VerlaufWertFarbe});
    if (bild.Mittel) {
        eintraege.push_back(
            {TLinie::Mittel, QStringLiteral("Gleitendes Mittel"), VerlaufMittelFarbe});
    }
    if (mitTemperatur) {
        eintraege.push_back({TLinie::Temp, QStringLiteral("Temperatur"), VerlaufTempFarbe});
    }
    return eintraege;
}

QString DatumZeitText(double utcMs) {
    return QString::fromStdString(
        PCDatumZeitText(UhrzeitAusUtc(static_cast<std::int64_t>(std::floor(utcMs))).Lokal));
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

TVerlaufMass VerlaufZeichnen(QPainter& maler, const QRect& flaeche, const TVerlaufBild& bild,
                             const QString& titel) {
    maler.fillRect(flaeche, Qt::white);
    TVerlaufMass mass;
    mass.Flaeche = Zeichenflaeche(TitelZeichnen(maler, flaeche, titel));
    mass.VonMs = bild.VonMs;
    mass.BisMs = bild.BisMs;
    const QRect r = mass.Flaeche;
    if (r.width() < 10 || r.height() < 10) {
        return mass;
    }
    maler.setRenderHint(QPainter::Antialiasing, false);
    if (bild.Reihe == nullptr || bild.Reihe->Punkte.empty()) {
        maler.setPen(Qt::darkGray);
        maler.drawText(r, Qt::AlignCenter, QStringLiteral("Noch keine Messwerte"));
        return mass;
    }
    const TPunktFolge& punkte = bild.Reihe->Punkte;
    const auto spalten = [&](TLinie linie) {
        return Ausduennen(punkte, linie, bild.VonMs, bild.BisMs, r.width());
    };
    const std::vector<TSpalte> werte = spalten(TLinie::Wert);
    const std::vector<TSpalte> mittel =
        bild.Mittel ? spalten(TLinie::Mittel) : std::vector<TSpalte>{};
    const std::vector<TSpalte> temps = spalten(TLinie::Temp);
    // The readings set the value axis; the moving average stays inside it (where it does not,
    // it is cut off at the edge rather than squeezing the readings into a strip).
    mass.Wert.Aufnehmen(werte);
    mass.Wert.Abschliessen();
    mass.Temp.Aufnehmen(temps);
    mass.Temp.Abschliessen();

    ZeitachseZeichnen(maler, r, bild.VonMs, bild.BisMs);
    WertachseZeichnen(maler, r, mass.Wert, true, VerlaufWertFarbe, Achsentitel(*bild.Reihe));
    if (mass.Temp.Belegt) {
        WertachseZeichnen(maler, r, mass.Temp, false, VerlaufTempFarbe,
                          QStringLiteral("Temp. [°C]"));
    }
    maler.setPen(Qt::black);
    maler.setBrush(Qt::NoBrush);
    maler.drawRect(r);
    maler.save();
    maler.setClipRect(r);
    LinieZeichnen(maler, temps, mass.Temp, r, VerlaufTempFarbe);
    if (bild.Mittel) {
        LinieZeichnen(maler, mittel, mass.Wert, r, VerlaufMittelFarbe);
    }
    LinieZeichnen(maler, werte, mass.Wert, r, VerlaufWertFarbe);
    if (bild.Marken != nullptr) {
        MarkenZeichnen(maler, mass, *bild.Marken);
    }
    LegendeZeichnen(maler, r, Legende(bild, mass.Temp.Belegt));
    maler.restore();
    return mass;
}
