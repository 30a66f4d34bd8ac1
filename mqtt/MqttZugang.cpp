// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/MqttZugang.h"

#include "framework/Meldung.h"
#include "storage/EInOutError.h"

#include <mosquitto.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>

namespace {

std::string ServerText(const TBrokerAdresse& adresse) {
    return (adresse.Tls ? "mqtts://" : "mqtt://") + adresse.Rechner + ":" +
           std::to_string(adresse.Port);
}

EMeldung CaFehler(const std::string& datei, const std::string& warum, int fehler = 0) {
    return EMeldung("Die CA-Datei " + datei + " " + warum +
                        "; ohne sie wird keine Verbindung aufgebaut.",
                    DateiBezug(datei, fehler));
}

// What libmosquitto does with the CA file when it sets up TLS, done beforehand: a file it
// could not use would otherwise only show after the connection to the server is made.
void CaPruefen(const std::string& datei) {
    struct stat status {};
    if (::stat(datei.c_str(), &status) != 0) {
        const int fehler = errno;
        throw CaFehler(datei,
                       "lässt sich nicht lesen (" + InOutMeldung(InOutCodeAusErrno(fehler)) + ")",
                       fehler);
    }
    if (!S_ISREG(status.st_mode)) {
        throw CaFehler(datei, "ist keine Datei");
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> ein(std::fopen(datei.c_str(), "rb"),
                                                        &std::fclose);
    if (!ein) {
        const int fehler = errno;
        throw CaFehler(datei,
                       "lässt sich nicht lesen (" + InOutMeldung(InOutCodeAusErrno(fehler)) + ")",
                       fehler);
    }
    std::unique_ptr<SSL_CTX, void (*)(SSL_CTX*)> kontext(SSL_CTX_new(TLS_client_method()),
                                                         &SSL_CTX_free);
    const bool gut =
        kontext && SSL_CTX_load_verify_locations(kontext.get(), datei.c_str(), nullptr) == 1;
    ERR_clear_error();
    if (!gut) {
        throw CaFehler(datei, "enthält kein Zertifikat im PEM-Format");
    }
}

} // namespace

TMqttZugang ZugangAus(const TVeroeffentlichenEinstellungen& e) {
    TMqttZugang zugang;
    zugang.Adresse = BrokerAdresseLesen(e.Server);
    zugang.Benutzer = e.Benutzer;
    if (!e.PasswortDatei.empty()) {
        zugang.PasswortDatei = PasswortPfad(e.PasswortDatei);
    }
    zugang.CaDatei = e.CaDatei;
    return zugang;
}

TMqttZugang ZugangVorbereiten(const TMqttZugang& zugang) {
    TMqttZugang bereit = zugang;
    if (!zugang.PasswortDatei.empty()) {
        bereit.Passwort = PasswortLesen(zugang.PasswortDatei);
    }
    if (!bereit.Benutzer.empty() && bereit.Passwort.empty()) {
        throw EMeldung("Für den Benutzer „" + bereit.Benutzer + "“ ist kein Passwort da (" +
                       (zugang.PasswortDatei.empty()
                            ? "keine Passwortdatei angegeben"
                            : "die Passwortdatei " + zugang.PasswortDatei + " ist leer") +
                       "); ohne Passwort wird keine Verbindung aufgebaut.");
    }
    if (!zugang.Adresse.Tls && !zugang.CaDatei.empty()) {
        throw EMeldung("Die CA-Datei " + zugang.CaDatei + " ist angegeben, der Server " +
                       ServerText(zugang.Adresse) +
                       " aber ohne TLS; für TLS mqtts:// angeben. Ohne TLS wird keine "
                       "Verbindung aufgebaut.");
    }
    if (zugang.Adresse.Tls && !zugang.CaDatei.empty()) {
        CaPruefen(zugang.CaDatei);
    }
    return bereit;
}

QString MqttGrund(int rc, int errnoWert) {
    switch (rc) {
    case MOSQ_ERR_CONN_LOST:
        return QStringLiteral("die Verbindung zum Server ist abgerissen");
    case MOSQ_ERR_NO_CONN:
        return QStringLiteral("keine Verbindung zum Server");
    case MOSQ_ERR_KEEPALIVE:
        return QStringLiteral("der Server antwortet nicht mehr");
    case MOSQ_ERR_EAI:
        return QStringLiteral("der Name des Servers lässt sich nicht auflösen");
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_TLS_HANDSHAKE:
        return QStringLiteral("TLS scheitert (Zertifikat des Servers oder CaDatei prüfen)");
    case MOSQ_ERR_CONN_REFUSED:
        return QStringLiteral("der Server lehnt die Anmeldung ab");
    case MOSQ_ERR_ERRNO:
        switch (errnoWert) {
        case ECONNREFUSED:
            return QStringLiteral("der Server nimmt keine Verbindung an");
        case ETIMEDOUT:
            return QStringLiteral("der Server antwortet nicht (Zeitüberschreitung)");
        case EHOSTUNREACH:
        case ENETUNREACH:
            return QStringLiteral("der Server ist im Netz nicht erreichbar");
        case ECONNRESET:
        case EPIPE:
            return QStringLiteral("der Server hat die Verbindung getrennt");
        default:
            return QStringLiteral("Systemfehler %1 (%2)")
                .arg(errnoWert)
                .arg(QString::fromLocal8Bit(std::strerror(errnoWert)));
        }
    default:
        return QStringLiteral("MQTT-Fehler %1 (%2)")
            .arg(rc)
            .arg(QString::fromUtf8(mosquitto_strerror(rc)));
    }
}

QString AnmeldeGrund(int rc) {
    switch (rc) {
    // Bad user name or password, not authorised (MQTT 3.1.1 and 5); Mosquitto answers a wrong
    // password with "not authorised".
    case 4:
    case 5:
    case 134:
    case 135:
        return QStringLiteral("der Server lehnt die Anmeldung ab (Benutzer oder Passwort falsch, "
                              "oder nicht berechtigt)");
    case 2:
    case 133:
        return QStringLiteral("der Server lehnt die Client-Kennung ab");
    case 3:
    case 136:
        return QStringLiteral("der Server ist nicht verfügbar");
    default:
        return QStringLiteral("der Server lehnt die Verbindung ab (Code %1: %2)")
            .arg(rc)
            .arg(QString::fromUtf8(rc < 128 ? mosquitto_connack_string(rc)
                                            : mosquitto_reason_string(rc)));
    }
}
