// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/SRColorButton.h"

TSRColorButton::TSRColorButton(const QString& caption, const QIcon& glyph, QWidget* parent)
    : QPushButton(glyph, caption, parent) {
    setStyleSheet(QStringLiteral(
        "QPushButton { color: white; font-weight: bold; border: 1px solid #10101c;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5a6478, stop:1 #161a24); }"
        "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #161a24, stop:1 #5a6478); }"
        "QPushButton:focus { border: 1px dotted white; }"));
}
