// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Einstellungen.h"

#include "storage/EInOutError.h"

#include <QSettings>
#include <QString>

#include <cerrno>

namespace {

const QString WiederverbindenSchluessel = QStringLiteral("Messung/AutomatischWiederverbinden");
const QString RohdatenSchluessel = QStringLiteral("Messung/RohdatenAufzeichnen");
const QString AngabenSchluessel = QStringLiteral("Messung/AngabenInDatei");

QString Pfadtext(const std::filesystem::path& datei) {
    return QString::fromStdString(datei.string());
}

// A truth value as QSettings writes it ("true", "false"); anything else keeps the default.
bool Wahrheitswert(const QSettings& ini, const QString& schluessel, bool vorgabe) {
    const QString text = ini.value(schluessel).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1")) {
        return true;
    }
    if (text == QLatin1String("false") || text == QLatin1String("0")) {
        return false;
    }
    return vorgabe;
}

} // namespace

std::filesystem::path EinstellungenPfad(const std::filesystem::path& konfigurationsDatei) {
    return konfigurationsDatei.parent_path() / "quorlits.conf";
}

TEinstellungen EinstellungenLesen(const std::filesystem::path& datei) {
    TEinstellungen einstellungen;
    std::error_code fehler;
    if (!std::filesystem::is_regular_file(datei, fehler)) {
        return einstellungen;
    }
    const QSettings ini(Pfadtext(datei), QSettings::IniFormat);
    einstellungen.AutomatischWiederverbinden =
        Wahrheitswert(ini, WiederverbindenSchluessel, einstellungen.AutomatischWiederverbinden);
    einstellungen.RohdatenAufzeichnen =
        Wahrheitswert(ini, RohdatenSchluessel, einstellungen.RohdatenAufzeichnen);
    einstellungen.AngabenInDatei =
        Wahrheitswert(ini, AngabenSchluessel, einstellungen.AngabenInDatei);
    return einstellungen;
}

void EinstellungenSchreiben(const std::filesystem::path& datei,
                            const TEinstellungen& einstellungen) {
    QSettings ini(Pfadtext(datei), QSettings::IniFormat);
    ini.setValue(WiederverbindenSchluessel, einstellungen.AutomatischWiederverbinden);
    ini.setValue(RohdatenSchluessel, einstellungen.RohdatenAufzeichnen);
    ini.setValue(AngabenSchluessel, einstellungen.AngabenInDatei);
    errno = 0;
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        throw EInOutError::AusErrno(errno != 0 ? errno : EACCES);
    }
}
