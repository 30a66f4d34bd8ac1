// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/LinkLabel.h"

#include "framework/widgets/Fehlerbox.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include <utility>

namespace {

std::function<void(const QUrl&)>& Oeffner() {
    static std::function<void(const QUrl&)> oeffner;
    return oeffner;
}

} // namespace

void LinkOeffnerSetzen(std::function<void(const QUrl&)> oeffner) {
    Oeffner() = std::move(oeffner);
}

TLinkLabel::TLinkLabel(QWidget* parent)
    : QLabel(parent) {
    QPalette farben = palette();
    farben.setColor(QPalette::WindowText, Qt::blue);
    setPalette(farben);
    QFont schrift = font();
    schrift.setUnderline(true);
    setFont(schrift);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Behandeln([this] { Oeffnen(); });
    }
}

void TLinkLabel::UrlOeffnen(const QUrl& url) {
    if (Oeffner()) {
        Oeffner()(url);
    } else {
        QDesktopServices::openUrl(url);
    }
}

void TEmaillabel::Oeffnen() const {
    if (Recipient.trimmed().isEmpty()) {
        throw EMeldung("Error: Please Specify a Recipients Email Address");
    }
    UrlOeffnen(QUrl(QStringLiteral("mailto:") + Recipient + QStringLiteral("?subject=") + Subject));
}

void TUrlLabel::Oeffnen() const {
    if (URL.trimmed().isEmpty()) {
        throw EMeldung("Error: Property URL not Specified");
    }
    UrlOeffnen(QUrl(URL));
}
