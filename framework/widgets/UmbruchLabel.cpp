// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/UmbruchLabel.h"

#include <QResizeEvent>

TUmbruchLabel::TUmbruchLabel(QWidget* parent)
    : QLabel(parent) {
    setWordWrap(true);
    QSizePolicy zeilen(QSizePolicy::Ignored, QSizePolicy::Preferred);
    zeilen.setHeightForWidth(true);
    setSizePolicy(zeilen);
}

QSize TUmbruchLabel::minimumSizeHint() const {
    return {0, heightForWidth(width())};
}

void TUmbruchLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // A new width may need another number of lines; a new text tells the layout by itself.
    const int hoehe = heightForWidth(width());
    if (hoehe != hoehe_) {
        hoehe_ = hoehe;
        updateGeometry();
    }
}
