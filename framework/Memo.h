// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "acquisition/MemoInhalt.h"

#include <QPlainTextEdit>

#include <cstdint>

// The memo of received text: read-only, both scroll bars, no line wrapping. It mirrors a
// TMemoInhalt, appending only what is new and starting over when the memo was emptied; the
// carriage return and line feed after "<LF>" become one line break on the screen.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemo(QWidget* parent = nullptr);

    void Anzeigen(const TMemoInhalt& inhalt);

private:
    qsizetype gezeigt_ = 0;
    std::uint64_t leerungen_ = 0;
};
