// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/MesswertAusgabe.h"

#include "storage/Datenzeile.h"

#include <QString>

std::string MesswertZeileUtf8(const TMesswert& messwert, const TAngaben* angaben) {
    std::string daten = DatenZeile(messwert);
    daten.resize(daten.size() - 2); // CR LF
    // Windows-1252 agrees with Latin-1 in every byte the line can hold but "ƒ" (0x83).
    QString text = QString::fromLatin1(daten.data(), std::ssize(daten));
    text.replace(QChar(0x83), QChar(0x0192));
    std::string zeile = text.toUtf8().toStdString();
    if (angaben != nullptr) {
        for (const TAngabe angabe : AlleAngaben) {
            zeile += '\t' + AngabeText((*angaben)[angabe]);
        }
    }
    return zeile + '\n';
}
