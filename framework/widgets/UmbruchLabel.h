// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QLabel>

// A label whose text wraps at word boundaries and that asks a layout for no width: a longer
// text takes more lines, never a wider window. Its smallest height is that of all its lines at
// the width it has, so the window grows taller before a layout cuts a line off (a layout does
// not follow a wrapping label's height on its own where the window is already at its smallest).
class TUmbruchLabel : public QLabel {
    Q_OBJECT
public:
    explicit TUmbruchLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int hoehe_ = -1; // the height of the lines when the layout last heard of it
};
