// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QBuffer>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QSvgGenerator>

// What `malen` paints, as SVG text: the chart's texts can be read from it.
template <typename F>
QString AlsSvg(const QSize& groesse, F&& malen) {
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&puffer);
    svg.setSize(groesse);
    {
        QPainter maler(&svg);
        malen(maler);
    }
    return QString::fromUtf8(puffer.data());
}
