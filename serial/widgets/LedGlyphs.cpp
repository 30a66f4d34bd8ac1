// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/ComLed.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

// The lamp pictures are drawn by the program: 15 x 15 pixels on a transparent background. A lit
// lamp glows in its full colour with a bright highlight; an unlit one is a dark, dull version of
// the same colour, so the two stay apart also for a colour-blind eye.

namespace {

constexpr int GlyphSize = 15;

QColor KindColour(TLedKind kind) {
    switch (kind) {
    case lkRedLight:
        return {230, 30, 30};
    case lkGreenLight:
        return {30, 200, 40};
    case lkBlueLight:
        return {40, 90, 240};
    case lkYellowLight:
        return {250, 220, 30};
    case lkPurpleLight:
        return {190, 50, 220};
    case lkBulb:
        return {255, 240, 150};
    case lkCustom:
        break;
    }
    return {};
}

QPixmap EmptyGlyph() {
    QPixmap glyph(GlyphSize, GlyphSize);
    glyph.fill(Qt::transparent);
    return glyph;
}

// A round lamp: a dark rim around a body shaded from a highlight at the upper left.
void DrawLight(QPainter& painter, QColor colour, bool lit) {
    const QColor body = lit ? colour : colour.darker(320);
    const QColor highlight = lit ? QColor(255, 255, 255) : body.lighter(160);
    QRadialGradient shade(QPointF(5.5, 5.0), 8.0);
    shade.setColorAt(0.0, highlight);
    shade.setColorAt(lit ? 0.35 : 0.6, body);
    shade.setColorAt(1.0, body.darker(lit ? 130 : 150));
    painter.setPen(QPen(QColor(40, 40, 40), 1.0));
    painter.setBrush(shade);
    painter.drawEllipse(QRectF(1.5, 1.5, 12.0, 12.0));
}

// A light bulb: a round glass over a grey screw base; lit, the glass glows warm yellow.
void DrawBulb(QPainter& painter, QColor colour, bool lit) {
    const QColor glass = lit ? colour : QColor(170, 170, 170);
    QRadialGradient shade(QPointF(6.0, 4.5), 6.5);
    shade.setColorAt(0.0, QColor(255, 255, 255));
    shade.setColorAt(lit ? 0.4 : 0.2, glass);
    shade.setColorAt(1.0, glass.darker(lit ? 115 : 140));
    painter.setPen(QPen(lit ? QColor(150, 120, 20) : QColor(80, 80, 80), 1.0));
    painter.setBrush(shade);
    painter.drawEllipse(QRectF(2.5, 0.5, 10.0, 10.0));
    painter.setPen(QPen(QColor(60, 60, 60), 1.0));
    painter.setBrush(QColor(140, 140, 140));
    painter.drawRect(QRectF(5.5, 10.5, 4.0, 3.0));
    painter.drawLine(QPointF(6.5, 14.5), QPointF(8.5, 14.5));
}

} // namespace

QPixmap LedGlyph(TLedKind kind, TLedState state) {
    if (kind == lkCustom) {
        return {};
    }
    QPixmap glyph = EmptyGlyph();
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    if (kind == lkBulb) {
        DrawBulb(painter, KindColour(kind), state == lsOn);
    } else {
        DrawLight(painter, KindColour(kind), state == lsOn);
    }
    return glyph;
}

QPixmap GreyGlyph(const QPixmap& glyph) {
    if (glyph.isNull()) {
        return {};
    }
    QImage image = glyph.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            // The lamp's shading in light greys, its rim a darker one: a lamp without colour.
            const int grey = 96 + qGray(line[x]) * 55 / 100;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}
