// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The bounded whole-number field of the dialogs: a one-line edit (text left-aligned) with two
// small arrow buttons. Typing takes digits, "+", "-", the decimal separator and control keys; any
// other character is refused with a beep. The arrow buttons and the up and down keys step by 1.
// Enter and Escape reach the dialog (its default and cancel buttons). A text that is not a whole
// number counts as the lower bound; a value is brought into the bounds when it is set, when the
// field loses the focus and when it is taken (Value). Equal bounds mean no bounds.
class TPBSpinEdit : public QWidget {
    Q_OBJECT
public:
    explicit TPBSpinEdit(QWidget* parent = nullptr);
    ~TPBSpinEdit() override;
    TPBSpinEdit(const TPBSpinEdit&) = delete;
    TPBSpinEdit& operator=(const TPBSpinEdit&) = delete;

    int MinValue() const noexcept { return minValue_; }
    int MaxValue() const noexcept { return maxValue_; }
    void SetMinValue(int value);
    void SetMaxValue(int value);

    // The text read as a whole number, brought into the bounds.
    int Value() const;
    // Brings `value` into the bounds and shows it.
    void SetValue(int value);

    QChar DezimalTrennzeichen() const noexcept { return trenner_; }
    void SetDezimalTrennzeichen(QChar trenner) noexcept { trenner_ = trenner; }

    // The field itself (for focus, tab order and typing in tests).
    QLineEdit* Edit() const noexcept { return edit_; }

private:
    QLineEdit* edit_ = nullptr;
    QToolButton* auf_ = nullptr;
    QToolButton* ab_ = nullptr;
    int minValue_ = 0;
    int maxValue_ = 0;
    QChar trenner_ = u'.';
};
