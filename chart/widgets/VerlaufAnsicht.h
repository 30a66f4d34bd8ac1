// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"
#include "chart/widgets/VerlaufZeichnung.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <limits>
#include <optional>

// The chart of one series of a measurement's readings. It follows new readings (the whole
// measurement in view) until the user zooms: the wheel zooms around the pointer, a range dragged
// with the left button is zoomed into, dragging with the right or middle button (or Shift and
// the left) pans. Keys: + and - zoom around the middle, the arrow keys pan, Pos1 shows all.
// AllesZeigen returns to following. The pointer shows the readout of the nearest reading; a
// click leaves a marker with its readout there until the next click (Esc removes it).
class TVerlaufAnsicht : public QWidget {
    Q_OBJECT
public:
    explicit TVerlaufAnsicht(const TVerlauf& verlauf, QWidget* parent = nullptr);

    // The series shown: an index into the chart's series, or -1 for "Neueste Messgröße".
    void SetReihe(int reihe);
    int Reihe() const noexcept { return reihe_; }
    // The index of the series drawn now; -1 while there is none.
    int GezeigteNummer() const;
    void SetMittel(bool zeigen);
    bool Mittel() const noexcept { return mittel_; }
    void AllesZeigen();
    bool Folgt() const noexcept { return folgen_; }
    void Zoomen(double faktor, double mitteMs);
    void Bereich(double& vonMs, double& bisMs) const;
    // Shows [vonMs, bisMs) (at least 2 s wide) and stops following.
    void BereichSetzen(double vonMs, double bisMs);
    // The time of the marked reading, while there is a marker.
    std::optional<std::int64_t> Marke() const noexcept { return marke_; }
    // Takes in what came since the last look: under "Neueste Messgröße" the series to show
    // (NeuesteReiheWaehlen with `uhrMs`, the program's clock where there is one); repaints when
    // readings came.
    void Auffrischen(std::int64_t uhrMs = std::numeric_limits<std::int64_t>::min());
    // The picture as shown, for export and the clipboard.
    TVerlaufBild Bild() const;
    QImage AlsBild(const QSize& groesse, const QString& titel = {}) const;

    QSize sizeHint() const override { return {800, 420}; }

signals:
    void BereichGeaendert();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    const TVerlaufReihe* GezeigteReihe() const;
    double ZeitBei(double x) const;
    void Verschieben(double anteil);
    void Klicken(int x);
    void ZiehbereichZeichnen(QPainter& maler) const;

    const TVerlauf& verlauf_;
    int reihe_ = -1;
    int neueste_ = -1;            // the series shown under "Neueste Messgröße"
    std::uint64_t leerungen_ = 0; // the chart's Leerungen when neueste_ was chosen
    bool mittel_ = false;
    bool folgen_ = true;
    double vonMs_ = 0.0;
    double bisMs_ = 0.0;
    std::uint64_t gezeichnet_ = 0; // the chart's Stand at the last picture
    // The chart as last drawn, without readout and marker: the pointer's moves repaint only
    // those over it, not a week of readings.
    struct TGrundStand {
        std::uint64_t Stand = 0;
        const TVerlaufReihe* Reihe = nullptr;
        double VonMs = 0.0;
        double BisMs = 0.0;
        bool Mittel = false;
        QSize Groesse;
        qreal Pixelfaktor = 1.0;
        bool operator==(const TGrundStand&) const = default;
    };
    QImage grund_;
    TGrundStand grundStand_;
    TVerlaufMass mass_;         // where the last picture put the plot and its axes
    std::optional<int> zeiger_; // the pointer's column while it is over the chart
    std::optional<std::int64_t> marke_;
    // Dragging: where it began, and whether it pans or marks a range.
    bool ziehen_ = false;
    bool verschieben_ = false;
    int ziehStart_ = 0;
    int ziehJetzt_ = 0;
    double ziehVonMs_ = 0.0;
    double ziehBisMs_ = 0.0;
};
