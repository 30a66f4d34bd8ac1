// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/MqttVerbindung.h"

#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <utility>

namespace {

constexpr int KeepAliveSekunden = 30;
constexpr int LaengsteWartezeitMs = 30000;

void BibliothekVorbereiten() {
    static const int bereit = mosquitto_lib_init();
    (void)bereit;
}

TMqttVerbindung& Selbst(void* zeiger) {
    return *static_cast<TMqttVerbindung*>(zeiger);
}

} // namespace

TMqttZugang ZugangAus(const TVeroeffentlichenEinstellungen& e) {
    TMqttZugang zugang;
    zugang.Adresse = BrokerAdresseLesen(e.Server);
    zugang.Benutzer = e.Benutzer;
    if (!e.PasswortDatei.empty()) {
        zugang.Passwort = PasswortLesen(PasswortPfad(e.PasswortDatei));
    }
    zugang.CaDatei = e.CaDatei;
    return zugang;
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

TMqttVerbindung::TMqttVerbindung(TMqttZugang zugang, QObject* parent)
    : QObject(parent)
    , zugang_(std::move(zugang))
    , pflege_(new QTimer(this))
    , wiederholung_(new QTimer(this)) {
    BibliothekVorbereiten();
    if (zugang_.SitzungBehalten) {
        wunschProtokoll_ = MQTT_PROTOCOL_V311;
    }
    pflege_->setInterval(1000);
    connect(pflege_, &QTimer::timeout, this, [this] { Pflegen(); });
    wiederholung_->setSingleShot(true);
    connect(wiederholung_, &QTimer::timeout, this, [this] { Versuchen(); });
}

TMqttVerbindung::~TMqttVerbindung() {
    gewollt_ = false;
    if (verbunden_) {
        mosquitto_disconnect(client_);
    }
    Freigeben();
}

void TMqttVerbindung::Verbinden() {
    gewollt_ = true;
    if (!laeuft_ && !wiederholung_->isActive()) {
        Versuchen();
    }
}

void TMqttVerbindung::Anlegen() {
    client_ = mosquitto_new(zugang_.ClientId.empty() ? nullptr : zugang_.ClientId.c_str(),
                            !zugang_.SitzungBehalten, this);
    if (client_ == nullptr) {
        throw std::bad_alloc();
    }
    mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, wunschProtokoll_);
    mosquitto_int_option(client_, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_v5_callback_set(client_, &TMqttVerbindung::BeiVerbindung);
    mosquitto_disconnect_v5_callback_set(client_, &TMqttVerbindung::BeiTrennung);
    mosquitto_message_v5_callback_set(client_, &TMqttVerbindung::BeiNachricht);
    if (!zugang_.Benutzer.empty()) {
        mosquitto_username_pw_set(client_, zugang_.Benutzer.c_str(),
                                  zugang_.Passwort.empty() ? nullptr : zugang_.Passwort.c_str());
    }
    if (!zugang_.WillThema.empty()) {
        mosquitto_will_set_v5(client_, zugang_.WillThema.c_str(),
                              static_cast<int>(zugang_.WillInhalt.size()),
                              zugang_.WillInhalt.data(), 1, true, nullptr);
    }
    if (zugang_.Adresse.Tls) {
        if (zugang_.CaDatei.empty()) {
            mosquitto_int_option(client_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
        } else {
            mosquitto_tls_set(client_, zugang_.CaDatei.c_str(), nullptr, nullptr, nullptr, nullptr);
        }
    }
}

void TMqttVerbindung::Versuchen() {
    Freigeben();
    Anlegen();
    laeuft_ = true;
    errno = 0;
    const int rc = mosquitto_connect_async(client_, zugang_.Adresse.Rechner.c_str(),
                                           zugang_.Adresse.Port, KeepAliveSekunden);
    if (rc != MOSQ_ERR_SUCCESS) {
        Verloren(MqttGrund(rc, errno));
        return;
    }
    MelderAufbauen();
    pflege_->start();
    SchreibwunschPruefen();
}

void TMqttVerbindung::MelderAufbauen() {
    const int fd = mosquitto_socket(client_);
    if (fd < 0) {
        return;
    }
    leser_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(leser_, &QSocketNotifier::activated, this, [this] { Lesen(); });
    schreiber_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(schreiber_, &QSocketNotifier::activated, this, [this] { Schreiben(); });
}

void TMqttVerbindung::MelderAbbauen() {
    for (QSocketNotifier** melder : {&leser_, &schreiber_}) {
        if (*melder != nullptr) {
            (*melder)->setEnabled(false);
            (*melder)->deleteLater();
            *melder = nullptr;
        }
    }
}

void TMqttVerbindung::Freigeben() {
    MelderAbbauen();
    pflege_->stop();
    if (client_ != nullptr) {
        mosquitto_destroy(client_);
        client_ = nullptr;
    }
}

// libmosquitto reads one packet a call. What else has arrived is read here in the same turn
// of the event loop (up to a bound, so a flood cannot hold up the window): on the socket, or
// over TLS already decrypted in OpenSSL, where the socket would not wake the notifier again.
void TMqttVerbindung::Lesen() {
    Schleife(mosquitto_loop_read, 1);
    for (int i = 0; i < 1000 && client_ != nullptr && laeuft_; ++i) {
        const auto* tls = static_cast<const SSL*>(mosquitto_ssl_get(client_));
        int wartend = 0;
        if ((tls == nullptr || SSL_has_pending(tls) == 0) &&
            (::ioctl(mosquitto_socket(client_), FIONREAD, &wartend) != 0 || wartend <= 0)) {
            break;
        }
        Schleife(mosquitto_loop_read, 1);
    }
}

void TMqttVerbindung::Schreiben() {
    Schleife(mosquitto_loop_write, 1);
}

void TMqttVerbindung::Pflegen() {
    if (client_ != nullptr && laeuft_) {
        Schleife([](mosquitto* m, int) { return mosquitto_loop_misc(m); }, 0);
    }
}

// One of libmosquitto's steps, whose callbacks may end the connection (Trennen): the client
// goes only once the step has returned.
template <typename Schritt>
void TMqttVerbindung::Schleife(Schritt schritt, int anzahl) {
    errno = 0;
    imSchritt_ = true;
    const int rc = schritt(client_, anzahl);
    const int fehler = errno;
    imSchritt_ = false;
    if (abschliessenFaellig_) {
        abschliessenFaellig_ = false;
        Abschliessen();
        return;
    }
    errno = fehler;
    Ergebnis(rc);
}

void TMqttVerbindung::Ergebnis(int rc) {
    if (rc != MOSQ_ERR_SUCCESS) {
        Verloren(MqttGrund(rc, errno));
        return;
    }
    SchreibwunschPruefen();
}

void TMqttVerbindung::SchreibwunschPruefen() {
    if (schreiber_ != nullptr && client_ != nullptr) {
        schreiber_->setEnabled(mosquitto_want_write(client_));
    }
}

void TMqttVerbindung::Verloren(const QString& grund) {
    if (!laeuft_) {
        return; // told once per connection
    }
    laeuft_ = false;
    verbunden_ = false;
    protokoll_ = 0;
    MelderAbbauen();
    pflege_->stop();
    emit Getrennt(grund);
    if (gewollt_) {
        wiederholung_->start(wartezeitMs_);
        wartezeitMs_ = std::min(std::max(wartezeitMs_ * 2, 1000), LaengsteWartezeitMs);
    }
}

void TMqttVerbindung::Trennen(const std::string& letzteWorte) {
    gewollt_ = false;
    wiederholung_->stop();
    if (verbunden_) {
        if (!letzteWorte.empty() && !zugang_.WillThema.empty()) {
            Veroeffentlichen(zugang_.WillThema, letzteWorte, 1, true);
        }
        mosquitto_disconnect(client_);
    }
    laeuft_ = false;
    verbunden_ = false;
    if (imSchritt_) {
        abschliessenFaellig_ = true;
    } else {
        Abschliessen();
    }
}

void TMqttVerbindung::Abschliessen() {
    // What is still queued leaves before the socket closes.
    for (int i = 0; client_ != nullptr && i < 10 && mosquitto_want_write(client_); ++i) {
        mosquitto_loop_write(client_, 1);
    }
    Freigeben();
}

bool TMqttVerbindung::Veroeffentlichen(const std::string& thema, const std::string& inhalt, int qos,
                                       bool behalten) {
    if (!verbunden_) {
        return false;
    }
    const int rc = mosquitto_publish(client_, nullptr, thema.c_str(),
                                     static_cast<int>(inhalt.size()), inhalt.data(), qos, behalten);
    SchreibwunschPruefen();
    return rc == MOSQ_ERR_SUCCESS;
}

bool TMqttVerbindung::Abonnieren(const std::string& filter, int qos) {
    if (!verbunden_) {
        return false;
    }
    const int rc = mosquitto_subscribe(client_, nullptr, filter.c_str(), qos);
    SchreibwunschPruefen();
    return rc == MOSQ_ERR_SUCCESS;
}

void TMqttVerbindung::BeiVerbindung(mosquitto*, void* selbst, int rc, int flags,
                                    const mqtt5__property*) {
    TMqttVerbindung& v = Selbst(selbst);
    if (rc == 0) {
        v.verbunden_ = true;
        v.wartezeitMs_ = 1000;
        v.protokoll_ = v.wunschProtokoll_;
        emit v.Verbunden((flags & 1) != 0);
        return;
    }
    // A broker that does not speak MQTT 5 answers with "unacceptable protocol version".
    if ((rc == 1 || rc == 132) && v.wunschProtokoll_ == MQTT_PROTOCOL_V5) {
        v.wunschProtokoll_ = MQTT_PROTOCOL_V311;
        v.wartezeitMs_ = 0;
    }
    v.Verloren(AnmeldeGrund(rc));
}

void TMqttVerbindung::BeiTrennung(mosquitto*, void* selbst, int rc, const mqtt5__property*) {
    TMqttVerbindung& v = Selbst(selbst);
    if (v.gewollt_) {
        v.Verloren(MqttGrund(rc == 0 ? MOSQ_ERR_CONN_LOST : rc, errno));
    }
}

void TMqttVerbindung::BeiNachricht(mosquitto*, void* selbst, const mosquitto_message* nachricht,
                                   const mqtt5__property*) {
    const std::string inhalt(static_cast<const char*>(nachricht->payload),
                             static_cast<std::size_t>(nachricht->payloadlen));
    emit Selbst(selbst).NachrichtErhalten(nachricht->topic, inhalt, nachricht->retain);
}
