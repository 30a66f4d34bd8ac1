// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/SpeedButton.h"

#include <algorithm>

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent)
    : QToolButton(parent) {
    setText(caption);
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TSpeedButton::SetDown(bool down) {
    // setChecked emits toggled (the group follows) but never clicked, so no handler runs.
    setChecked(down);
}

TSpeedButtonGroup::TSpeedButtonGroup(QObject* parent)
    : QObject(parent) {}

void TSpeedButtonGroup::Add(TSpeedButton* button) {
    if (button == nullptr ||
        std::find(buttons_.begin(), buttons_.end(), button) != buttons_.end()) {
        return;
    }
    buttons_.push_back(button);
    // toggled comes before clicked, so the other buttons are up when the owner's handler runs.
    connect(button, &QAbstractButton::toggled, this, [this, button](bool down) {
        if (down) {
            Pressed(button);
        }
    });
    connect(button, &QObject::destroyed, this, [this, button] {
        buttons_.erase(std::remove(buttons_.begin(), buttons_.end(), button), buttons_.end());
    });
}

void TSpeedButtonGroup::Pressed(TSpeedButton* button) {
    for (TSpeedButton* anderer : buttons_) {
        if (anderer != button) {
            anderer->SetDown(false);
        }
    }
}
