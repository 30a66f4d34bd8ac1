// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/VeroeffentlichenEinstellungen.h"

#include "framework/Meldung.h"
#include "storage/EInOutError.h"

#include <QSettings>
#include <QSysInfo>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

const QString Gruppe = QStringLiteral("Veroeffentlichen/");

QString Schluessel(const char* name) {
    return Gruppe + QLatin1String(name);
}

std::string Wert(const QSettings& ini, const char* name) {
    return ini.value(Schluessel(name)).toString().trimmed().toStdString();
}

// "1073741824", "500 MB", "1GB", "64 KB"; empty when it is no such size.
std::optional<std::uint64_t> GroesseLesen(QString text) {
    text = text.trimmed().toUpper();
    std::uint64_t faktor = 1;
    for (const auto& [einheit, wert] : {std::pair{"GB", 1ULL << 30}, std::pair{"MB", 1ULL << 20},
                                        std::pair{"KB", 1ULL << 10}, std::pair{"B", 1ULL}}) {
        if (text.endsWith(QLatin1String(einheit))) {
            text.chop(static_cast<qsizetype>(std::char_traits<char>::length(einheit)));
            faktor = wert;
            break;
        }
    }
    bool zahl = false;
    const qulonglong menge = text.trimmed().toULongLong(&zahl);
    if (!zahl || menge == 0 || menge > (1ULL << 50) / faktor) {
        return std::nullopt;
    }
    return menge * faktor;
}

} // namespace

std::string GroesseText(std::uint64_t bytes) {
    for (const auto& [einheit, wert] : {std::pair{" GB", 1ULL << 30}, std::pair{" MB", 1ULL << 20},
                                        std::pair{" KB", 1ULL << 10}}) {
        if (bytes % wert == 0) {
            return std::to_string(bytes / wert) + einheit;
        }
    }
    return std::to_string(bytes);
}

TVeroeffentlichenEinstellungen VeroeffentlichenLesen(const std::filesystem::path& datei) {
    TVeroeffentlichenEinstellungen e;
    std::error_code fehler;
    if (!std::filesystem::is_regular_file(datei, fehler)) {
        return e;
    }
    const QSettings ini(QString::fromStdString(datei.string()), QSettings::IniFormat);
    const QString aktiv = ini.value(Schluessel("Aktiv")).toString().trimmed().toLower();
    e.Aktiv = aktiv == QLatin1String("true") || aktiv == QLatin1String("1");
    e.Server = Wert(ini, "Server");
    e.Benutzer = Wert(ini, "Benutzer");
    e.PasswortDatei = Wert(ini, "PasswortDatei");
    e.CaDatei = Wert(ini, "CaDatei");
    e.Arbeitsplatz = Wert(ini, "Arbeitsplatz");
    e.OutboxGrenze =
        GroesseLesen(ini.value(Schluessel("OutboxGrenze")).toString()).value_or(e.OutboxGrenze);
    return e;
}

void VeroeffentlichenSchreiben(const std::filesystem::path& datei,
                               const TVeroeffentlichenEinstellungen& e) {
    QSettings ini(QString::fromStdString(datei.string()), QSettings::IniFormat);
    ini.setValue(Schluessel("Aktiv"), e.Aktiv);
    ini.setValue(Schluessel("Server"), QString::fromStdString(e.Server));
    ini.setValue(Schluessel("Benutzer"), QString::fromStdString(e.Benutzer));
    ini.setValue(Schluessel("PasswortDatei"), QString::fromStdString(e.PasswortDatei));
    ini.setValue(Schluessel("CaDatei"), QString::fromStdString(e.CaDatei));
    ini.setValue(Schluessel("Arbeitsplatz"), QString::fromStdString(e.Arbeitsplatz));
    ini.setValue(Schluessel("OutboxGrenze"), QString::fromStdString(GroesseText(e.OutboxGrenze)));
    errno = 0;
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        throw EInOutError::AusErrno(errno != 0 ? errno : EACCES);
    }
}

std::string ArbeitsplatzName(const TVeroeffentlichenEinstellungen& einstellungen) {
    if (!einstellungen.Arbeitsplatz.empty()) {
        return einstellungen.Arbeitsplatz;
    }
    return QSysInfo::machineHostName().toStdString();
}

std::string PasswortPfad(const std::string& datei) {
    const char* beglaubigt = std::getenv("CREDENTIALS_DIRECTORY");
    if (datei.empty() || datei.front() == '/' || beglaubigt == nullptr || *beglaubigt == '\0') {
        return datei;
    }
    return (std::filesystem::path(beglaubigt) / datei).string();
}

std::string PasswortLesen(const std::string& datei) {
    struct stat status {};
    std::ifstream ein;
    int fehler = ::stat(datei.c_str(), &status) == 0 ? 0 : errno;
    if (fehler == 0) {
        ein.open(datei);
        fehler = ein ? 0 : errno != 0 ? errno : EACCES;
    }
    if (fehler != 0) {
        throw EMeldung("Die Passwortdatei " + datei + " lässt sich nicht lesen (" +
                           InOutMeldung(InOutCodeAusErrno(fehler)) + ").",
                       DateiBezug(datei, fehler));
    }
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        char rechte[8];
        std::snprintf(rechte, sizeof rechte, "%04o", status.st_mode & 07777U);
        throw EMeldung("Die Passwortdatei " + datei + " dürfen auch andere lesen (Rechte " +
                           rechte + "); sie wird nicht benutzt. Abhilfe: chmod 600 " + datei,
                       DateiBezug(datei));
    }
    std::string passwort;
    std::getline(ein, passwort);
    if (!passwort.empty() && passwort.back() == '\r') {
        passwort.pop_back();
    }
    return passwort;
}

TBrokerAdresse BrokerAdresseLesen(const std::string& text) {
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    const auto fehler = [&text](const char* was) {
        return EMeldung("Der Server „" + text + "“ " + was);
    };
    TBrokerAdresse adresse;
    adresse.Tls = url.scheme() == QLatin1String("mqtts");
    const bool ohnePfad = url.path().isEmpty() || url.path() == QLatin1String("/");
    if ((!adresse.Tls && url.scheme() != QLatin1String("mqtt")) || !ohnePfad) {
        throw fehler("ist keine Adresse der Form mqtt://Rechner:1883 oder mqtts://Rechner:8883.");
    }
    // QUrl refuses a port beyond 65535 or with other characters than digits, and an unclosed
    // IPv6 address in brackets.
    if (!url.isValid() || url.hasQuery() || url.hasFragment()) {
        throw fehler("ist keine gültige Adresse (Rechner und Port 1 bis 65535 prüfen).");
    }
    if (url.host().isEmpty() || url.authority().contains(u'@')) {
        throw fehler("nennt keinen Rechner.");
    }
    if (url.port() == 0) {
        throw fehler("hat keinen gültigen Port (1 bis 65535).");
    }
    // A name with letters beyond ASCII in its ACE form, as the name service resolves it.
    adresse.Rechner = url.host(QUrl::FullyEncoded).toStdString();
    adresse.Port = url.port(adresse.Tls ? 8883 : 1883);
    return adresse;
}
