// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include <cstdint>

// The memo of received text: read-only, both scroll bars, no line wrapping. It mirrors a text
// that only grows until it is emptied, appending only what is new and starting over when the
// text was emptied; the carriage return and line feed after "<LF>" become one line break on the
// screen. With the keyboard focus its frame is drawn in the highlight colour, as the style
// leaves a read-only text without a sign of focus.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemo(QWidget* parent = nullptr);

    // Shows `text`. `leerungen` counts how often the text was emptied, so an emptied text that
    // grew back to the length shown is still told apart from one that merely went on.
    void Anzeigen(const QString& text, std::uint64_t leerungen);

protected:
    bool event(QEvent* event) override;

private:
    qsizetype gezeigt_ = 0;
    std::uint64_t leerungen_ = 0;
};
