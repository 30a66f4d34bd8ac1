// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QLabel>
#include <QString>
#include <QUrl>

#include <functional>

// Opens a link with the program that the desktop associates with it. Tests put a recorder in
// its place; an empty function brings back the desktop's handler.
void LinkOeffnerSetzen(std::function<void(const QUrl&)> oeffner);

// A label that reads as a link (blue, underlined, a pointing hand) and opens its target when it
// is clicked. A failure reaches the user through the standard error box.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);
    // Opens the target; raises EMeldung when the target is missing.
    virtual void Oeffnen() const = 0;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    static void UrlOeffnen(const QUrl& url);
};

// A link that writes an e-mail: "mailto:" + Recipient + "?subject=" + Subject.
class TEmaillabel : public TLinkLabel {
    Q_OBJECT
public:
    using TLinkLabel::TLinkLabel;
    void Oeffnen() const override;

    QString Recipient;
    QString Subject;
};

// A link to a web page.
class TUrlLabel : public TLinkLabel {
    Q_OBJECT
public:
    using TLinkLabel::TLinkLabel;
    void Oeffnen() const override;

    QString URL;
};
