// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/PBSpinEdit.h"

TPBSpinEdit::TPBSpinEdit(QWidget* parent)
    : QWidget(parent) {}
void TPBSpinEdit::SetMinValue(int value) {
    minValue_ = value;
}
void TPBSpinEdit::SetMaxValue(int value) {
    maxValue_ = value;
}
int TPBSpinEdit::Value() const {
    return minValue_;
}
void TPBSpinEdit::SetValue(int) {}
