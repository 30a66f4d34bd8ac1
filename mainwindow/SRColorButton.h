// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QPushButton>

// A button with a glyph and white text on a dark gradient.
class TSRColorButton : public QPushButton {
    Q_OBJECT
public:
    TSRColorButton(const QString& caption, const QIcon& glyph, QWidget* parent = nullptr);
};
