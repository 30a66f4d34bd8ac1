// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"
#include "chart/widgets/VerlaufZeichnung.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

// The chart of one series of a measurement's readings. It follows new readings (the whole
// measurement in view) until the user zooms: the wheel zooms around the pointer, a range dragged
// with the left button is zoomed into, dragging with the right or middle button (or Shift and
// the left) pans. AllesZeigen returns to following.
class TVerlaufAnsicht : public QWidget {
    Q_OBJECT
public:
    explicit TVerlaufAnsicht(const TVerlauf& verlauf, QWidget* parent = nullptr);

    // The series shown: an index into the chart's series, or -1 for the one of the latest
    // reading.
    void SetReihe(int reihe);
    int Reihe() const noexcept { return reihe_; }
    void SetMittel(bool zeigen);
    bool Mittel() const noexcept { return mittel_; }
    void AllesZeigen();
    bool Folgt() const noexcept { return folgen_; }
    void Zoomen(double faktor, double mitteMs);
    void Bereich(double& vonMs, double& bisMs) const;
    // Repaints when readings came since the last picture.
    void Auffrischen();
    // The picture as shown, for export and the clipboard.
    TVerlaufBild Bild() const;
    QImage AlsBild(const QSize& groesse) const;

    QSize sizeHint() const override { return {800, 420}; }

signals:
    void BereichGeaendert();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const TVerlaufReihe* GezeigteReihe() const;
    double ZeitBei(double x) const;
    void BereichSetzen(double vonMs, double bisMs);

    const TVerlauf& verlauf_;
    int reihe_ = -1;
    bool mittel_ = false;
    bool folgen_ = true;
    double vonMs_ = 0.0;
    double bisMs_ = 0.0;
    std::uint64_t gezeichnet_ = 0; // the chart's Stand at the last picture
    // Dragging: where it began, and whether it pans or marks a range.
    bool ziehen_ = false;
    bool verschieben_ = false;
    int ziehStart_ = 0;
    int ziehJetzt_ = 0;
    double ziehVonMs_ = 0.0;
    double ziehBisMs_ = 0.0;
};
