// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComLink.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>

class QTimer;
class TCustomComPort;
class TComLed;

// Which line signal a lamp shows.
enum TComLedSignal : std::uint8_t { lsConn, lsCTS, lsDSR, lsRLSD, lsRing, lsRx, lsTx };
// Which pair of pictures a lamp uses; lkCustom uses the assigned ones.
enum TLedKind : std::uint8_t {
    lkRedLight,
    lkGreenLight,
    lkBlueLight,
    lkYellowLight,
    lkPurpleLight,
    lkBulb,
    lkCustom
};
enum TLedState : std::uint8_t { lsOff, lsOn };

using TLedStateEvent = std::function<void(TComLed* Sender, TLedState AState)>;
// The monotonic clock a lamp measures its afterglow with; replaceable for tests.
using TLedClock = std::function<std::chrono::steady_clock::time_point()>;

// The built-in 15 x 15 pictures of a kind, unlit or lit, with a transparent background; an
// empty picture for lkCustom.
QPixmap LedGlyph(TLedKind kind, TLedState state);
// The picture in greys, same transparency: how a disabled lamp looks.
QPixmap GreyGlyph(const QPixmap& glyph);

// A small lamp that shows one line signal of a port as lit or unlit. Bound to a port, it
// follows the port's link notifications and cannot be switched by hand; unbound, State sets
// it. The picture is centred; a disabled lamp shows its lit picture in grey, whatever its
// state, so that a lamp without a line to show is not read as an unlit signal.
// A receive or transmit lamp keeps its lit picture for at least AfterglowMs after the last
// activity, so that a burst of microseconds is seen at all and a steady stream does not make it
// flicker; State and OnChange still follow every notification. The lamp repaints only when
// the picture it shows changes.
class TComLed : public QWidget {
public:
    explicit TComLed(QWidget* parent = nullptr);
    ~TComLed() override;
    TComLed(const TComLed&) = delete;
    TComLed& operator=(const TComLed&) = delete;

    TCustomComPort* ComPort() const noexcept { return port_; }
    // Binds the lamp (null unbinds and switches it off). Bound to an open port, the lamp shows
    // the signal's current state at once; that may raise the modem-status error.
    void SetComPort(TCustomComPort* value);
    TComLedSignal LedSignal() const noexcept { return signal_; }
    void SetLedSignal(TComLedSignal value);
    TLedKind Kind() const noexcept { return kind_; }
    void SetKind(TLedKind value);
    // The pictures; assigning one takes effect only while Kind is lkCustom.
    QPixmap GlyphOn() const { return glyphs_[lsOn]; }
    QPixmap GlyphOff() const { return glyphs_[lsOff]; }
    void SetGlyphOn(const QPixmap& value) { SetGlyph(lsOn, value); }
    void SetGlyphOff(const QPixmap& value) { SetGlyph(lsOff, value); }
    TLedState State() const noexcept { return state_; }
    // Refused with EComPort code 19 while a port is bound.
    void SetState(TLedState value);
    // How long a ring keeps the lamp lit, in milliseconds.
    int RingDuration() const;
    void SetRingDuration(int value);

    const TComLink& Link() const noexcept { return link_; }

    static constexpr int AfterglowMs = 100;
    // The picture shown now, which may still be lit after State went off.
    TLedState ShownState() const noexcept { return shown_; }
    void SetClock(TLedClock clock);

    TLedStateEvent OnChange;

    QSize sizeHint() const override { return {25, 25}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowState(TLedState value, bool paintNow = false);
    void Redraw(bool paintNow);
    TLedState PictureFor(TLedState value);
    void AfterglowEnded();
    void LoadGlyphs(TLedKind kind);
    bool SignalIsOn();
    void SetGlyph(TLedState which, const QPixmap& value);
    void AssignCallback();
    void SignalCallback(bool onOff);
    void RingCallback();
    void RingTimerFired();
    void Unbind() noexcept;

    TComLink link_;
    TCustomComPort* port_ = nullptr;
    int freeNotification_ = 0;
    TComLedSignal signal_ = lsConn;
    TLedKind kind_ = lkRedLight;
    TLedState state_ = lsOff;
    TLedState shown_ = lsOff;
    std::array<QPixmap, 2> glyphs_;
    QPixmap greyGlyph_; // made from the lit picture when first needed
    QTimer* ringTimer_;
    TLedClock clock_;
    std::chrono::steady_clock::time_point lastActivity_{};
    // Single shot, runs only while an afterglow is pending.
    QTimer* afterglowTimer_;
};
