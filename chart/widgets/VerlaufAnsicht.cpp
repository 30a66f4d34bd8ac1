// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufAnsicht.h"

#include "chart/NeuesteReihe.h"
#include "chart/widgets/VerlaufAblesung.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double KleinsteSpanneMs = 2000.0;
constexpr int MindestZiehweite = 6;
constexpr double ZoomSchritt = 0.8; // + shows 80 % of the range, - 125 %
constexpr double PanSchritt = 0.1;  // an arrow key moves by a tenth of the range

} // namespace

TVerlaufAnsicht::TVerlaufAnsicht(const TVerlauf& verlauf, QWidget* parent)
    : QWidget(parent)
    , verlauf_(verlauf) {
    setObjectName(QStringLiteral("Verlaufsansicht"));
    setMinimumSize(320, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
}

int TVerlaufAnsicht::GezeigteNummer() const {
    const bool neuesteGilt = neueste_ >= 0 && leerungen_ == verlauf_.Leerungen();
    const int nummer = reihe_ >= 0 ? reihe_ : neuesteGilt ? neueste_ : verlauf_.LetzteReihe();
    return nummer < static_cast<int>(verlauf_.Reihen().size()) ? nummer : -1;
}

const TVerlaufReihe* TVerlaufAnsicht::GezeigteReihe() const {
    const int nummer = GezeigteNummer();
    return nummer < 0 ? nullptr : &verlauf_.Reihen()[static_cast<std::size_t>(nummer)];
}

void TVerlaufAnsicht::SetReihe(int reihe) {
    reihe_ = reihe;
    marke_.reset();
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
    bild.Marken = &verlauf_.ProbenMarken();
    Bereich(bild.VonMs, bild.BisMs);
    return bild;
}

QImage TVerlaufAnsicht::AlsBild(const QSize& groesse, const QString& titel) const {
    QImage bild(groesse, QImage::Format_RGB32);
    QPainter maler(&bild);
    VerlaufZeichnen(maler, QRect(QPoint(0, 0), groesse), Bild(), titel);
    return bild;
}

void TVerlaufAnsicht::Auffrischen(std::int64_t uhrMs) {
    if (leerungen_ != verlauf_.Leerungen()) {
        leerungen_ = verlauf_.Leerungen();
        neueste_ = -1;
        marke_.reset();
    }
    const int neueste = NeuesteReiheWaehlen(neueste_, verlauf_, uhrMs);
    if (neueste != neueste_) {
        neueste_ = neueste;
        if (reihe_ < 0) {
            marke_.reset();
            update();
        }
    }
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

void TVerlaufAnsicht::Verschieben(double anteil) {
    double von = 0.0;
    double bis = 0.0;
    Bereich(von, bis);
    const double versatz = (bis - von) * anteil;
    BereichSetzen(von + versatz, bis + versatz);
}

// A click marks the nearest reading; a click on the marked one removes the marker.
void TVerlaufAnsicht::Klicken(int x) {
    const QRect r = Zeichenflaeche(rect());
    if (x < r.left() || x > r.right()) {
        return;
    }
    const auto ablesung = Ablesen(Bild(), mass_, ZeitBei(x));
    if (!ablesung) {
        return;
    }
    marke_ = marke_ == ablesung->UtcMs ? std::nullopt : std::optional(ablesung->UtcMs);
    update();
}

void TVerlaufAnsicht::ZiehbereichZeichnen(QPainter& maler) const {
    const QRect r = Zeichenflaeche(rect());
    const int links = std::clamp(std::min(ziehStart_, ziehJetzt_), r.left(), r.right());
    const int rechts = std::clamp(std::max(ziehStart_, ziehJetzt_), r.left(), r.right());
    maler.fillRect(QRect(links, r.top(), rechts - links, r.height()), QColor(30, 80, 160, 40));
}

void TVerlaufAnsicht::paintEvent(QPaintEvent* /*event*/) {
    gezeichnet_ = verlauf_.Stand();
    const TVerlaufBild bild = Bild();
    const TGrundStand stand{gezeichnet_, bild.Reihe, bild.VonMs,         bild.BisMs,
                            bild.Mittel, size(),     devicePixelRatioF()};
    if (grund_.isNull() || !(stand == grundStand_)) {
        grund_ = QImage(size() * stand.Pixelfaktor, QImage::Format_RGB32);
        grund_.setDevicePixelRatio(stand.Pixelfaktor);
        QPainter grundMaler(&grund_);
        mass_ = VerlaufZeichnen(grundMaler, rect(), bild);
        grundStand_ = stand;
    }
    QPainter maler(this);
    maler.drawImage(QPoint(0, 0), grund_);
    if (marke_) {
        const auto ablesung = Ablesen(bild, mass_, static_cast<double>(*marke_));
        if (ablesung && ablesung->UtcMs == *marke_) {
            AblesungZeichnen(maler, mass_, *ablesung, true);
        }
    }
    if (zeiger_ && !ziehen_) {
        if (const auto ablesung = Ablesen(bild, mass_, ZeitBei(*zeiger_))) {
            AblesungZeichnen(maler, mass_, *ablesung, false);
        }
    }
    if (hasFocus()) {
        maler.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
        maler.setBrush(Qt::NoBrush);
        maler.drawRect(mass_.Flaeche.adjusted(-3, -3, 3, 3));
    }
    if (ziehen_ && !verschieben_) {
        ZiehbereichZeichnen(maler);
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
        const QPoint stelle = event->position().toPoint();
        zeiger_ =
            Zeichenflaeche(rect()).contains(stelle) ? std::optional(stelle.x()) : std::nullopt;
        update();
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
    } else if (!verschieben_) {
        Klicken(ziehStart_);
    }
    update();
}

void TVerlaufAnsicht::leaveEvent(QEvent* event) {
    zeiger_.reset();
    update();
    QWidget::leaveEvent(event);
}

void TVerlaufAnsicht::keyPressEvent(QKeyEvent* event) {
    double von = 0.0;
    double bis = 0.0;
    Bereich(von, bis);
    switch (event->key()) {
    case Qt::Key_Plus:
        Zoomen(ZoomSchritt, (von + bis) / 2);
        break;
    case Qt::Key_Minus:
        Zoomen(1 / ZoomSchritt, (von + bis) / 2);
        break;
    case Qt::Key_Left:
        Verschieben(-PanSchritt);
        break;
    case Qt::Key_Right:
        Verschieben(PanSchritt);
        break;
    case Qt::Key_Home:
        AllesZeigen();
        break;
    case Qt::Key_Escape:
        if (marke_) {
            marke_.reset();
            update();
            break;
        }
        [[fallthrough]];
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TVerlaufAnsicht::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TVerlaufAnsicht::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}
