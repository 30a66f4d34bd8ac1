// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufAnsicht.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double KleinsteSpanneMs = 2000.0;
constexpr int MindestZiehweite = 6;

} // namespace

TVerlaufAnsicht::TVerlaufAnsicht(const TVerlauf& verlauf, QWidget* parent)
    : QWidget(parent)
    , verlauf_(verlauf) {
    setObjectName(QStringLiteral("Verlaufsansicht"));
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const TVerlaufReihe* TVerlaufAnsicht::GezeigteReihe() const {
    const int nummer = reihe_ >= 0 ? reihe_ : verlauf_.LetzteReihe();
    if (nummer < 0 || nummer >= static_cast<int>(verlauf_.Reihen().size())) {
        return nullptr;
    }
    return &verlauf_.Reihen()[static_cast<std::size_t>(nummer)];
}

void TVerlaufAnsicht::SetReihe(int reihe) {
    reihe_ = reihe;
    AllesZeigen();
}

void TVerlaufAnsicht::SetMittel(bool zeigen) {
    mittel_ = zeigen;
    update();
}

void TVerlaufAnsicht::AllesZeigen() {
    folgen_ = true;
    update();
    emit BereichGeaendert();
}

void TVerlaufAnsicht::Bereich(double& vonMs, double& bisMs) const {
    if (folgen_) {
        GanzerBereich(GezeigteReihe(), vonMs, bisMs);
    } else {
        vonMs = vonMs_;
        bisMs = bisMs_;
    }
}

TVerlaufBild TVerlaufAnsicht::Bild() const {
    TVerlaufBild bild;
    bild.Reihe = GezeigteReihe();
    bild.Mittel = mittel_;
    Bereich(bild.VonMs, bild.BisMs);
    return bild;
}

QImage TVerlaufAnsicht::AlsBild(const QSize& groesse) const {
    QImage bild(groesse, QImage::Format_RGB32);
    QPainter maler(&bild);
    VerlaufZeichnen(maler, QRect(QPoint(0, 0), groesse), Bild());
    return bild;
}

void TVerlaufAnsicht::Auffrischen() {
    if (verlauf_.Stand() != gezeichnet_) {
        update();
    }
}

void TVerlaufAnsicht::BereichSetzen(double vonMs, double bisMs) {
    if (bisMs - vonMs < KleinsteSpanneMs) {
        const double mitte = (vonMs + bisMs) / 2;
        vonMs = mitte - KleinsteSpanneMs / 2;
        bisMs = mitte + KleinsteSpanneMs / 2;
    }
    folgen_ = false;
    vonMs_ = vonMs;
    bisMs_ = bisMs;
    update();
    emit BereichGeaendert();
}

void TVerlaufAnsicht::Zoomen(double faktor, double mitteMs) {
    double von = 0.0;
    double bis = 0.0;
    Bereich(von, bis);
    BereichSetzen(mitteMs - (mitteMs - von) * faktor, mitteMs + (bis - mitteMs) * faktor);
}

double TVerlaufAnsicht::ZeitBei(double x) const {
    const QRect r = Zeichenflaeche(rect());
    double von = 0.0;
    double bis = 0.0;
    Bereich(von, bis);
    return von + (x - r.left()) / std::max(1, r.width()) * (bis - von);
}

void TVerlaufAnsicht::paintEvent(QPaintEvent* /*event*/) {
    gezeichnet_ = verlauf_.Stand();
    QPainter maler(this);
    VerlaufZeichnen(maler, rect(), Bild());
    if (ziehen_ && !verschieben_) {
        const QRect r = Zeichenflaeche(rect());
        const int links = std::clamp(std::min(ziehStart_, ziehJetzt_), r.left(), r.right());
        const int rechts = std::clamp(std::max(ziehStart_, ziehJetzt_), r.left(), r.right());
        maler.fillRect(QRect(links, r.top(), rechts - links, r.height()), QColor(30, 80, 160, 40));
    }
}

void TVerlaufAnsicht::wheelEvent(QWheelEvent* event) {
    const double schritte = event->angleDelta().y() / 120.0;
    if (schritte != 0.0) {
        Zoomen(std::pow(0.8, schritte), ZeitBei(event->position().x()));
    }
    event->accept();
}

void TVerlaufAnsicht::mousePressEvent(QMouseEvent* event) {
    ziehen_ = true;
    verschieben_ =
        event->button() != Qt::LeftButton || (event->modifiers() & Qt::ShiftModifier) != 0;
    ziehStart_ = ziehJetzt_ = qRound(event->position().x());
    Bereich(ziehVonMs_, ziehBisMs_);
    event->accept();
}

void TVerlaufAnsicht::mouseMoveEvent(QMouseEvent* event) {
    if (!ziehen_) {
        return;
    }
    ziehJetzt_ = qRound(event->position().x());
    if (verschieben_) {
        const QRect r = Zeichenflaeche(rect());
        const double versatz =
            (ziehStart_ - ziehJetzt_) * (ziehBisMs_ - ziehVonMs_) / std::max(1, r.width());
        BereichSetzen(ziehVonMs_ + versatz, ziehBisMs_ + versatz);
    } else {
        update();
    }
}

void TVerlaufAnsicht::mouseReleaseEvent(QMouseEvent* event) {
    if (!ziehen_) {
        return;
    }
    ziehJetzt_ = qRound(event->position().x());
    ziehen_ = false;
    if (!verschieben_ && std::abs(ziehJetzt_ - ziehStart_) >= MindestZiehweite) {
        const double a = ZeitBei(std::min(ziehStart_, ziehJetzt_));
        const double b = ZeitBei(std::max(ziehStart_, ziehJetzt_));
        BereichSetzen(a, b);
    }
    update();
}
