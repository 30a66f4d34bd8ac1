// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/PBSpinEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <utility>

namespace {

// A key that edits or moves rather than types: no text, a control character (Backspace, Tab,
// Enter, Escape) or a shortcut with Ctrl (copy, paste, select all).
bool Steuertaste(const QKeyEvent& event) {
    if (event.modifiers().testFlag(Qt::ControlModifier)) {
        return true;
    }
    const QString text = event.text();
    return text.isEmpty() || std::all_of(text.cbegin(), text.cend(), [](QChar zeichen) {
               return zeichen.unicode() < 0x20 || zeichen.unicode() == 0x7F;
           });
}

bool ZeichenErlaubt(QChar zeichen, QChar trenner) {
    const char16_t c = zeichen.unicode();
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || zeichen == trenner;
}

bool TasteErlaubt(const QKeyEvent& event, QChar trenner) {
    if (Steuertaste(event)) {
        return true;
    }
    const QString text = event.text();
    return std::all_of(text.cbegin(), text.cend(),
                       [trenner](QChar zeichen) { return ZeichenErlaubt(zeichen, trenner); });
}

// The edit of the number field: it filters typed characters, steps with the arrow keys and
// brings the value into the bounds when it loses the focus. Enter and Escape are left to the
// dialog, as a plain QLineEdit does.
class TZahlEdit : public QLineEdit {
public:
    TZahlEdit(TPBSpinEdit* feld, std::function<void(int)> schritt, std::function<void()> verlassen)
        : QLineEdit(feld)
        , feld_(feld)
        , schritt_(std::move(schritt))
        , verlassen_(std::move(verlassen)) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
            schritt_(event->key() == Qt::Key_Up ? 1 : -1);
            event->accept();
            return;
        }
        if (!TasteErlaubt(*event, feld_->DezimalTrennzeichen())) {
            QApplication::beep();
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }

    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        if (verlassen_) {
            verlassen_();
        }
    }

public:
    // The field is going away: the focus that leaves the edit while the field's widget is
    // torn down must not reach the field any more.
    void Loesen() { verlassen_ = nullptr; }

private:
    const TPBSpinEdit* feld_;
    std::function<void(int)> schritt_;
    std::function<void()> verlassen_;
};

QToolButton* Pfeilknopf(Qt::ArrowType richtung, QWidget* parent) {
    auto* knopf = new QToolButton(parent);
    knopf->setArrowType(richtung);
    knopf->setAutoRepeat(true);
    knopf->setFocusPolicy(Qt::NoFocus);
    knopf->setFixedSize(16, 11);
    return knopf;
}

} // namespace

TPBSpinEdit::~TPBSpinEdit() {
    static_cast<TZahlEdit*>(edit_)->Loesen();
}

TPBSpinEdit::TPBSpinEdit(QWidget* parent)
    : QWidget(parent) {
    const auto schritt = [this](int richtung) {
        SetValue(static_cast<int>(std::clamp<std::int64_t>(
            static_cast<std::int64_t>(Value()) + richtung, INT_MIN, INT_MAX)));
    };
    edit_ = new TZahlEdit(this, schritt, [this] { SetValue(Value()); });
    edit_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    edit_->setText(QStringLiteral("0"));
    auf_ = Pfeilknopf(Qt::UpArrow, this);
    ab_ = Pfeilknopf(Qt::DownArrow, this);
    connect(auf_, &QToolButton::clicked, this, [schritt] { schritt(1); });
    connect(ab_, &QToolButton::clicked, this, [schritt] { schritt(-1); });

    auto* pfeile = new QVBoxLayout;
    pfeile->setContentsMargins(0, 0, 0, 0);
    pfeile->setSpacing(0);
    pfeile->addWidget(auf_);
    pfeile->addWidget(ab_);
    auto* zeile = new QHBoxLayout(this);
    zeile->setContentsMargins(0, 0, 0, 0);
    zeile->setSpacing(1);
    zeile->addWidget(edit_, 1);
    zeile->addLayout(pfeile);
    setFocusProxy(edit_);
    setFocusPolicy(edit_->focusPolicy());
}

void TPBSpinEdit::SetMinValue(int value) {
    minValue_ = value;
}

void TPBSpinEdit::SetMaxValue(int value) {
    maxValue_ = value;
}

int TPBSpinEdit::Value() const {
    bool zahl = false;
    const int wert = edit_->text().toInt(&zahl);
    if (!zahl) {
        return minValue_;
    }
    if (minValue_ == maxValue_) {
        return wert;
    }
    return std::clamp(wert, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
}

void TPBSpinEdit::SetValue(int value) {
    if (minValue_ != maxValue_) {
        value = std::clamp(value, std::min(minValue_, maxValue_), std::max(minValue_, maxValue_));
    }
    const QString text = QString::number(value);
    if (edit_->text() != text) {
        edit_->setText(text);
    }
}
