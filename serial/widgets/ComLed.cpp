// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/ComLed.h"

#include "serial/CustomComPort.h"
#include "serial/EComPort.h"

#include <QBitmap>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <utility>

TComLed::TComLed(QWidget* parent)
    : QWidget(parent)
    , ringTimer_(new QTimer(this))
    , clock_([] { return std::chrono::steady_clock::now(); })
    , afterglowTimer_(new QTimer(this)) {
    resize(25, 25);
    ringTimer_->setObjectName(QStringLiteral("RingTimer"));
    ringTimer_->setInterval(1000);
    connect(ringTimer_, &QTimer::timeout, this, [this] { RingTimerFired(); });
    afterglowTimer_->setObjectName(QStringLiteral("AfterglowTimer"));
    afterglowTimer_->setSingleShot(true);
    connect(afterglowTimer_, &QTimer::timeout, this, [this] { AfterglowEnded(); });
    AssignCallback();
    LoadGlyphs(kind_);
}

TComLed::~TComLed() {
    ringTimer_->stop();
    afterglowTimer_->stop();
    Unbind();
}

void TComLed::Unbind() noexcept {
    if (port_ == nullptr) {
        return;
    }
    port_->RemoveFreeNotification(freeNotification_);
    port_->RemoveLink(&link_);
    port_ = nullptr;
    freeNotification_ = 0;
    lastActivity_ = {}; // a lamp let go of goes dark at once
}

void TComLed::SetComPort(TCustomComPort* value) {
    if (value == port_) {
        return;
    }
    Unbind();
    if (value == nullptr) {
        ShowState(lsOff);
        return;
    }
    port_ = value;
    // The port tells the lamp when it goes away, so the lamp never holds a dangling port.
    freeNotification_ =
        value->AddFreeNotification([this](TCustomComPort&) { SetComPort(nullptr); });
    value->AddLink(&link_);
    if (value->Connected()) {
        ShowState(SignalIsOn() ? lsOn : lsOff);
    }
}

void TComLed::SetLedSignal(TComLedSignal value) {
    if (value == signal_) {
        return;
    }
    signal_ = value;
    lastActivity_ = {};
    AssignCallback();
}

void TComLed::AssignCallback() {
    link_.OnConnection = nullptr;
    link_.OnCTSSignal = nullptr;
    link_.OnDSRSignal = nullptr;
    link_.OnRLSDSignal = nullptr;
    link_.OnRingSignal = nullptr;
    link_.OnTransmitting = nullptr;
    link_.OnReceiving = nullptr;
    const auto signal = [this](TCustomComPort*, bool onOff) { SignalCallback(onOff); };
    switch (signal_) {
    case lsConn:
        link_.OnConnection = signal;
        break;
    case lsCTS:
        link_.OnCTSSignal = signal;
        break;
    case lsDSR:
        link_.OnDSRSignal = signal;
        break;
    case lsRLSD:
        link_.OnRLSDSignal = signal;
        break;
    case lsRing:
        link_.OnRingSignal = [this](TCustomComPort*) { RingCallback(); };
        break;
    case lsRx:
        link_.OnReceiving = signal;
        break;
    case lsTx:
        link_.OnTransmitting = signal;
        break;
    }
}

void TComLed::SetKind(TLedKind value) {
    if (value == kind_) {
        return;
    }
    kind_ = value;
    LoadGlyphs(value);
    update();
}

void TComLed::LoadGlyphs(TLedKind kind) {
    if (kind == lkCustom) {
        return;
    }
    glyphs_[lsOff] = LedGlyph(kind, lsOff);
    glyphs_[lsOn] = LedGlyph(kind, lsOn);
    greyGlyph_ = QPixmap();
}

void TComLed::SetGlyph(TLedState which, const QPixmap& value) {
    if (kind_ != lkCustom) {
        return;
    }
    QPixmap glyph = value;
    if (!glyph.isNull() && !glyph.hasAlphaChannel()) {
        // The colour of the bottom-left pixel is the background, as in classic glyph bitmaps.
        const QImage image = glyph.toImage();
        glyph.setMask(glyph.createMaskFromColor(image.pixelColor(0, image.height() - 1)));
    }
    glyphs_[which] = glyph;
    greyGlyph_ = QPixmap();
    update();
}

void TComLed::SetState(TLedState value) {
    if (port_ != nullptr) {
        throw EComPort(CError_LedStateFailed);
    }
    ShowState(value);
}

int TComLed::RingDuration() const {
    return ringTimer_->interval();
}

void TComLed::SetRingDuration(int value) {
    ringTimer_->setInterval(value);
}

void TComLed::SetClock(TLedClock clock) {
    clock_ = std::move(clock);
}

void TComLed::ShowState(TLedState value, bool paintNow) {
    state_ = value;
    if (OnChange) {
        OnChange(this, value);
    }
    Redraw(paintNow);
}

void TComLed::Redraw(bool paintNow) {
    const TLedState picture = PictureFor(state_);
    if (picture == shown_) {
        return;
    }
    shown_ = picture;
    if (paintNow) {
        repaint();
    } else {
        update();
    }
}

// The picture for `value`: an unlit receive or transmit lamp stays lit until AfterglowMs after
// its last activity, with the timer set to look again then.
TLedState TComLed::PictureFor(TLedState value) {
    if (value == lsOn || shown_ == lsOff || lastActivity_ == decltype(lastActivity_){}) {
        return value;
    }
    const auto left = lastActivity_ + std::chrono::milliseconds(AfterglowMs) - clock_();
    if (left <= decltype(left)::zero()) {
        return value;
    }
    if (!afterglowTimer_->isActive()) {
        afterglowTimer_->start(std::chrono::ceil<std::chrono::milliseconds>(left));
    }
    return lsOn;
}

void TComLed::AfterglowEnded() {
    Redraw(false);
}

bool TComLed::SignalIsOn() {
    if (port_ == nullptr) {
        return false;
    }
    switch (signal_) {
    case lsConn:
        return port_->Connected();
    case lsCTS:
        return port_->ReadSignals().Contains(sigCTS);
    case lsDSR:
        return port_->ReadSignals().Contains(sigDSR);
    case lsRLSD:
        return port_->ReadSignals().Contains(sigRLSD);
    case lsRing:
    case lsRx:
    case lsTx:
        break;
    }
    return false;
}

void TComLed::SignalCallback(bool onOff) {
    if (signal_ == lsRx || signal_ == lsTx) {
        lastActivity_ = clock_();
    }
    // Paint now, inside the callback: processing events here could run user input that closes
    // the port, which would wait for the event thread that waits for this callback.
    ShowState(onOff ? lsOn : lsOff, true);
}

void TComLed::RingCallback() {
    if (!ringTimer_->isActive()) {
        ringTimer_->start();
    }
    ShowState(lsOn, true);
}

void TComLed::RingTimerFired() {
    ringTimer_->stop();
    ShowState(lsOff);
}

void TComLed::paintEvent(QPaintEvent*) {
    if (glyphs_[lsOff].isNull() || glyphs_[lsOn].isNull()) {
        LoadGlyphs(kind_);
    }
    if (!isEnabled() && greyGlyph_.isNull()) {
        greyGlyph_ = GreyGlyph(glyphs_[lsOn]);
    }
    const QPixmap& glyph = !isEnabled() ? greyGlyph_ : glyphs_[shown_];
    if (glyph.isNull()) {
        return;
    }
    const QRect client = contentsRect();
    const int left = client.left() + std::max(0, (client.width() - glyph.width()) / 2);
    const int top = client.top() + std::max(0, (client.height() - glyph.height()) / 2);
    QPainter painter(this);
    painter.drawPixmap(left, top, glyph);
}

void TComLed::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}
