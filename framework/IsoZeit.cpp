// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/IsoZeit.h"

#include <QDateTime>
#include <QTimeZone>

#include <stdexcept>

std::string IsoZeitText(std::int64_t utcMs, std::int32_t utcVersatz, bool mitMillisekunden) {
    // A QTimeZone of the offset writes "+00:00" where Qt::OffsetFromUTC would write "Z"; it holds
    // offsets up to ±14 h, as far as any zone goes, and a stranger offset is written as it is.
    const QTimeZone zone(utcVersatz);
    const QDateTime zeit =
        zone.isValid() ? QDateTime::fromMSecsSinceEpoch(utcMs, zone)
                       : QDateTime::fromMSecsSinceEpoch(utcMs, Qt::OffsetFromUTC, utcVersatz);
    const QString text = zeit.toString(mitMillisekunden ? Qt::ISODateWithMs : Qt::ISODate);
    if (text.isEmpty()) {
        throw std::out_of_range("Der Zeitpunkt " + std::to_string(utcMs) +
                                " ms liegt außerhalb der Jahre 0 bis 9999.");
    }
    return text.toStdString();
}
