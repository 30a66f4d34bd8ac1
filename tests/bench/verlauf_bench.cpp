// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The chart with a week of readings at one per second: redrawing, adding, memory. With Qt Charts
// at hand, the same picture drawn by Qt Charts from the per-column least and greatest readings,
// for the choice between the two.
#include "chart/Ausduennung.h"
#include "chart/widgets/VerlaufZeichnung.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#ifdef QUORLITS_MIT_QTCHARTS
#include <QApplication>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineSeries>
#include <QValueAxis>
#endif

#include <cmath>
#include <memory>

namespace {

constexpr std::size_t Woche = 7 * 24 * 3600;
constexpr std::int64_t Anfang = 1796634000000;
const QSize Groesse(1200, 500);

TVerlaufEingang Eingang(std::size_t i) {
    const double t = static_cast<double>(i);
    return {Anfang + static_cast<std::int64_t>(i) * 1000,
            "pH",
            "pH",
            7.0 + 0.3 * std::sin(t / 3600.0) + 0.01 * std::sin(t),
            true,
            25.0 + 2.0 * std::cos(t / 7200.0),
            7.0};
}

// One week of readings, built once.
const TVerlauf& Woche1() {
    static const std::unique_ptr<TVerlauf> verlauf = [] {
        auto v = std::make_unique<TVerlauf>();
        for (std::size_t i = 0; i < Woche; ++i) {
            v->Hinzufuegen(Eingang(i));
        }
        return v;
    }();
    return *verlauf;
}

void Neuzeichnen(benchmark::State& state) {
    const TVerlauf& verlauf = Woche1();
    TVerlaufBild bild{&verlauf.Reihen()[0], 0, 0, state.range(0) != 0};
    GanzerBereich(bild.Reihe, bild.VonMs, bild.BisMs);
    QImage ziel(Groesse, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter maler(&ziel);
        VerlaufZeichnen(maler, QRect(QPoint(0, 0), Groesse), bild);
    }
    state.counters["Messwerte"] = static_cast<double>(verlauf.Anzahl());
    state.counters["Bytes_je_Messwert"] =
        static_cast<double>(verlauf.Speicher()) / static_cast<double>(verlauf.Anzahl());
}
BENCHMARK(Neuzeichnen)->Arg(0)->Arg(1)->ArgName("mit_Mittel")->Unit(benchmark::kMillisecond);

// Adding to a chart that already holds a week, so the blocks and the gap check are those of a
// long measurement.
void Hinzufuegen(benchmark::State& state) {
    TVerlauf verlauf;
    for (std::size_t i = 0; i < Woche; ++i) {
        verlauf.Hinzufuegen(Eingang(i));
    }
    std::size_t i = Woche;
    for (auto _ : state) {
        verlauf.Hinzufuegen(Eingang(i++));
    }
}
BENCHMARK(Hinzufuegen)->Unit(benchmark::kMicrosecond);

void Ausduennen1200(benchmark::State& state) {
    const TVerlauf& verlauf = Woche1();
    double von = 0;
    double bis = 0;
    GanzerBereich(&verlauf.Reihen()[0], von, bis);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Ausduennen(verlauf.Reihen()[0].Punkte, TLinie::Wert, von, bis, 1200));
    }
}
BENCHMARK(Ausduennen1200)->Unit(benchmark::kMillisecond);

#ifdef QUORLITS_MIT_QTCHARTS
// Qt Charts fed with each column's first, least, greatest and last reading of both lines, the
// picture rendered into an image of the same size.
void QtChartsNeuzeichnen(benchmark::State& state) {
    const TVerlauf& verlauf = Woche1();
    const TPunktFolge& punkte = verlauf.Reihen()[0].Punkte;
    double von = 0;
    double bis = 0;
    GanzerBereich(&verlauf.Reihen()[0], von, bis);
    QChart chart;
    chart.resize(Groesse);
    auto* werte = new QLineSeries;
    auto* temps = new QLineSeries;
    chart.addSeries(werte);
    chart.addSeries(temps);
    auto* zeit = new QDateTimeAxis;
    zeit->setFormat(QStringLiteral("HH:mm"));
    auto* links = new QValueAxis;
    auto* rechts = new QValueAxis;
    chart.addAxis(zeit, Qt::AlignBottom);
    chart.addAxis(links, Qt::AlignLeft);
    chart.addAxis(rechts, Qt::AlignRight);
    for (QLineSeries* s : {werte, temps}) {
        s->attachAxis(zeit);
    }
    werte->attachAxis(links);
    temps->attachAxis(rechts);
    QGraphicsScene szene;
    szene.addItem(&chart);
    QImage ziel(Groesse, QImage::Format_RGB32);
    const auto fuellen = [&](QLineSeries* serie, TLinie linie) {
        QList<QPointF> liste;
        const auto spalten = Ausduennen(punkte, linie, von, bis, Groesse.width());
        const double breite = (bis - von) / Groesse.width();
        for (std::size_t k = 0; k < spalten.size(); ++k) {
            if (spalten[k].Belegt) {
                const double x = von + (static_cast<double>(k) + 0.5) * breite;
                for (const float y :
                     {spalten[k].Erster, spalten[k].Min, spalten[k].Max, spalten[k].Letzter}) {
                    liste.append(QPointF(x, y));
                }
            }
        }
        serie->replace(liste);
    };
    for (auto _ : state) {
        fuellen(werte, TLinie::Wert);
        fuellen(temps, TLinie::Temp);
        zeit->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(von)),
                       QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(bis)));
        links->setRange(6.6, 7.4);
        rechts->setRange(22.0, 28.0);
        QPainter maler(&ziel);
        szene.render(&maler, QRectF(QPointF(0, 0), Groesse), QRectF(QPointF(0, 0), Groesse));
    }
    szene.removeItem(&chart);
}
BENCHMARK(QtChartsNeuzeichnen)->Unit(benchmark::kMillisecond);
#endif

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef QUORLITS_MIT_QTCHARTS
    QApplication anwendung(argc, argv); // Qt Charts lives on the graphics view
#else
    QGuiApplication anwendung(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
