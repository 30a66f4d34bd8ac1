// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/widgets/Memo.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextCursor>

TMemo::TMemo(QWidget* parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The text changes with every received chunk; an undo history would only cost memory.
    setUndoRedoEnabled(false);
}

void TMemo::Anzeigen(const QString& text, std::uint64_t leerungen) {
    if (leerungen != leerungen_ || text.size() < gezeigt_) {
        clear();
        gezeigt_ = 0;
        leerungen_ = leerungen;
    }
    if (text.size() == gezeigt_) {
        return;
    }
    // A chunk continues the last line, so the new part goes in at the end as it is; the
    // carriage return and line feed after "<LF>" become one line break.
    QString neu = text.mid(gezeigt_);
    neu.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    gezeigt_ = text.size();
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(neu);
    setTextCursor(cursor);
    // The cursor shows the end of the last line; the bar makes the last line the bottom one.
    ensureCursorVisible();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

bool TMemo::event(QEvent* event) {
    // The frame is painted on the memo itself (the text and the scroll bars on widgets inside
    // it), in its paint event; the focus colour goes over the frame's outer line, the only one
    // left in view at every edge.
    const bool behandelt = QPlainTextEdit::event(event);
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter maler(this);
        maler.setPen(QPen(palette().color(QPalette::Highlight), 0));
        maler.setBrush(Qt::NoBrush);
        maler.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    return behandelt;
}
