// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/MqttArbeiter.h"

#include "framework/Meldung.h"

#include <QSocketNotifier>
#include <QTimer>

#include <mosquitto.h>
#include <openssl/ssl.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/ioctl.h>
#include <utility>
#include <vector>

namespace {

constexpr int KeepAliveSekunden = 30;
// A setting that cannot work (a file missing, unreadable or wrong) is tried again this rarely:
// the file may be mended or appear, but nothing changes from one second to the next.
constexpr int EinstellungsWartezeitMs = 60000;

int BibliothekBereit() {
    static const int bereit = mosquitto_lib_init();
    return bereit;
}

TMqttArbeiter& Selbst(void* zeiger) {
    return *static_cast<TMqttArbeiter*>(zeiger);
}

// An EMeldung's sentence as part of a reason: without its final full stop.
QString Satzteil(const char* text) {
    QString teil = QString::fromUtf8(text);
    if (teil.endsWith(u'.')) {
        teil.chop(1);
    }
    return teil;
}

struct TEinstellung {
    const char* Was;
    std::function<int(mosquitto*)> Tun;
};

} // namespace

TMqttArbeiter::TMqttArbeiter(TMqttZugang zugang)
    : zugang_(std::move(zugang))
    , pflege_(new QTimer(this))
    , wiederholung_(new QTimer(this)) {
    if (zugang_.SitzungBehalten) {
        wunschProtokoll_ = MQTT_PROTOCOL_V311;
    }
    pflege_->setInterval(1000);
    connect(pflege_, &QTimer::timeout, this, [this] { Pflegen(); });
    wiederholung_->setSingleShot(true);
    connect(wiederholung_, &QTimer::timeout, this, [this] { Versuchen(); });
}

TMqttArbeiter::~TMqttArbeiter() {
    Freigeben();
}

void TMqttArbeiter::Verbinden(quint64 lauf) {
    lauf_ = lauf;
    gewollt_ = true;
    if (!laeuft_ && !wiederholung_->isActive()) {
        Versuchen();
    }
}

// A fresh client with every setting of the access; the reason when any of them fails. Nothing
// is connected then: no half-made client goes out without the TLS or the login asked for.
std::optional<QString> TMqttArbeiter::Anlegen() {
    if (const int rc = BibliothekBereit(); rc != MOSQ_ERR_SUCCESS) {
        return QStringLiteral("libmosquitto lässt sich nicht einrichten: ") + MqttGrund(rc);
    }
    TMqttZugang zugang;
    try {
        zugang = ZugangVorbereiten(zugang_);
    } catch (const EMeldung& fehler) {
        return Satzteil(fehler.what());
    }
    errno = 0;
    client_ = mosquitto_new(zugang.ClientId.empty() ? nullptr : zugang.ClientId.c_str(),
                            !zugang.SitzungBehalten, this);
    if (client_ == nullptr) {
        return QStringLiteral("libmosquitto legt keinen Client an (%1)")
            .arg(QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : ENOMEM)));
    }
    mosquitto_connect_v5_callback_set(client_, &TMqttArbeiter::BeiVerbindung);
    mosquitto_disconnect_v5_callback_set(client_, &TMqttArbeiter::BeiTrennung);
    mosquitto_message_v5_callback_set(client_, &TMqttArbeiter::BeiNachricht);
    return Einrichten(zugang);
}

std::optional<QString> TMqttArbeiter::Einrichten(const TMqttZugang& zugang) {
    const int protokoll = wunschProtokoll_;
    std::vector<TEinstellung> schritte{
        {"Protokollversion",
         [protokoll](mosquitto* m) {
             return mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, protokoll);
         }},
        {"TCP_NODELAY",
         [](mosquitto* m) { return mosquitto_int_option(m, MOSQ_OPT_TCP_NODELAY, 1); }},
    };
    if (!zugang.Benutzer.empty()) {
        schritte.push_back({"Benutzer und Passwort", [&zugang](mosquitto* m) {
                                return mosquitto_username_pw_set(m, zugang.Benutzer.c_str(),
                                                                 zugang.Passwort.c_str());
                            }});
    }
    if (!zugang.WillThema.empty()) {
        schritte.push_back({"letzter Wille", [&zugang](mosquitto* m) {
                                return mosquitto_will_set_v5(
                                    m, zugang.WillThema.c_str(),
                                    static_cast<int>(zugang.WillInhalt.size()),
                                    zugang.WillInhalt.data(), 1, true, nullptr);
                            }});
    }
    if (zugang.Adresse.Tls && zugang.CaDatei.empty()) {
        schritte.push_back({"TLS mit den Zertifizierungsstellen des Systems", [](mosquitto* m) {
                                return mosquitto_int_option(m, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
                            }});
    } else if (zugang.Adresse.Tls) {
        schritte.push_back({"TLS mit der CA-Datei", [&zugang](mosquitto* m) {
                                return mosquitto_tls_set(m, zugang.CaDatei.c_str(), nullptr,
                                                         nullptr, nullptr, nullptr);
                            }});
    }
    if (zugang.Adresse.Tls) {
        // The server's certificate is checked, against its name too (libmosquitto's default,
        // asked for here so that nothing else can have turned it off).
        schritte.push_back(
            {"TLS-Prüfung des Servers", [](mosquitto* m) {
                 const int rc = mosquitto_tls_opts_set(m, SSL_VERIFY_PEER, nullptr, nullptr);
                 return rc != MOSQ_ERR_SUCCESS ? rc : mosquitto_tls_insecure_set(m, false);
             }});
    }
    for (const TEinstellung& schritt : schritte) {
        if (const int rc = schritt.Tun(client_); rc != MOSQ_ERR_SUCCESS) {
            return QStringLiteral("die Einstellung „%1“ scheitert (%2); ohne sie wird keine "
                                  "Verbindung aufgebaut")
                .arg(QString::fromUtf8(schritt.Was), MqttGrund(rc, errno));
        }
    }
    return std::nullopt;
}

void TMqttArbeiter::Versuchen() {
    Freigeben();
    laeuft_ = true;
    if (const std::optional<QString> fehler = Anlegen()) {
        Verloren(*fehler, EinstellungsWartezeitMs);
        return;
    }
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

void TMqttArbeiter::MelderAufbauen() {
    const int fd = mosquitto_socket(client_);
    if (fd < 0) {
        Verloren(MqttGrund(MOSQ_ERR_NO_CONN));
        return;
    }
    leser_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(leser_, &QSocketNotifier::activated, this, [this] { Lesen(); });
    schreiber_ = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(schreiber_, &QSocketNotifier::activated, this,
            [this] { Schritt(mosquitto_loop_write(client_, 1)); });
}

void TMqttArbeiter::MelderAbbauen() {
    for (QSocketNotifier** melder : {&leser_, &schreiber_}) {
        if (*melder != nullptr) {
            (*melder)->setEnabled(false);
            (*melder)->deleteLater();
            *melder = nullptr;
        }
    }
}

void TMqttArbeiter::Freigeben() {
    MelderAbbauen();
    pflege_->stop();
    if (client_ != nullptr) {
        mosquitto_destroy(client_);
        client_ = nullptr;
    }
}

// libmosquitto reads one packet a call. What else has arrived is read here in the same turn
// of the event loop (up to a bound, so a flood cannot hold up the thread): on the socket, or
// over TLS already decrypted in OpenSSL, where the socket would not wake the notifier again.
void TMqttArbeiter::Lesen() {
    errno = 0;
    Schritt(mosquitto_loop_read(client_, 1));
    for (int i = 0; i < 1000 && client_ != nullptr && laeuft_; ++i) {
        const auto* tls = static_cast<const SSL*>(mosquitto_ssl_get(client_));
        int wartend = 0;
        if ((tls == nullptr || SSL_has_pending(tls) == 0) &&
            (::ioctl(mosquitto_socket(client_), FIONREAD, &wartend) != 0 || wartend <= 0)) {
            break;
        }
        errno = 0;
        Schritt(mosquitto_loop_read(client_, 1));
    }
}

void TMqttArbeiter::Pflegen() {
    if (client_ != nullptr && laeuft_) {
        errno = 0;
        Schritt(mosquitto_loop_misc(client_));
    }
}

// The outcome of one of libmosquitto's steps (errno as the step left it).
void TMqttArbeiter::Schritt(int rc) {
    if (rc != MOSQ_ERR_SUCCESS) {
        Verloren(MqttGrund(rc, errno));
        return;
    }
    SchreibwunschPruefen();
}

void TMqttArbeiter::SchreibwunschPruefen() {
    if (schreiber_ != nullptr && client_ != nullptr) {
        schreiber_->setEnabled(mosquitto_want_write(client_));
    }
}

void TMqttArbeiter::Verloren(const QString& grund, std::optional<int> wartezeitMs) {
    if (!laeuft_) {
        return; // told once per connection
    }
    laeuft_ = false;
    verbunden_ = false;
    MelderAbbauen();
    pflege_->stop();
    emit Getrennt(lauf_, grund);
    if (gewollt_) {
        wiederholung_->start(wartezeitMs.value_or(static_cast<int>(wartezeit_.Naechste().count())));
    }
}

void TMqttArbeiter::Trennen(const std::string& letzteWorte) {
    gewollt_ = false;
    wiederholung_->stop();
    if (verbunden_ && !letzteWorte.empty() && !zugang_.WillThema.empty()) {
        Veroeffentlichen(zugang_.WillThema, letzteWorte, 1, true);
    }
    if (verbunden_) {
        // A refusal leaves nothing to end: the client goes below either way.
        (void)mosquitto_disconnect(client_);
        // What is still queued leaves before the socket closes.
        for (int i = 0; i < 10 && mosquitto_want_write(client_); ++i) {
            if (mosquitto_loop_write(client_, 1) != MOSQ_ERR_SUCCESS) {
                break;
            }
        }
    }
    laeuft_ = false;
    verbunden_ = false;
    Freigeben();
}

void TMqttArbeiter::Veroeffentlichen(const std::string& thema, const std::string& inhalt, int qos,
                                     bool behalten) {
    if (!verbunden_) {
        return; // the caller sends it again after the next Verbunden
    }
    errno = 0;
    const int rc = mosquitto_publish(client_, nullptr, thema.c_str(),
                                     static_cast<int>(inhalt.size()), inhalt.data(), qos, behalten);
    if (rc != MOSQ_ERR_SUCCESS) {
        // The connection starts again; the caller sends what is unacknowledged once more.
        Verloren(QStringLiteral("Senden auf %1 scheitert: %2")
                     .arg(QString::fromStdString(thema), MqttGrund(rc, errno)));
        return;
    }
    SchreibwunschPruefen();
}

void TMqttArbeiter::Abonnieren(const std::string& filter, int qos) {
    if (!verbunden_) {
        return; // the caller subscribes again after the next Verbunden
    }
    errno = 0;
    const int rc = mosquitto_subscribe(client_, nullptr, filter.c_str(), qos);
    if (rc != MOSQ_ERR_SUCCESS) {
        Verloren(QStringLiteral("Abonnieren von %1 scheitert: %2")
                     .arg(QString::fromStdString(filter), MqttGrund(rc, errno)));
        return;
    }
    SchreibwunschPruefen();
}

void TMqttArbeiter::BeiVerbindung(mosquitto*, void* selbst, int rc, int flags,
                                  const mqtt5__property*) {
    TMqttArbeiter& a = Selbst(selbst);
    if (rc == 0) {
        a.verbunden_ = true;
        a.wartezeit_.Erfolg();
        emit a.Verbunden(a.lauf_, (flags & 1) != 0, a.wunschProtokoll_);
        return;
    }
    // A broker that does not speak MQTT 5 answers with "unacceptable protocol version".
    if ((rc == 1 || rc == 132) && a.wunschProtokoll_ == MQTT_PROTOCOL_V5) {
        a.wunschProtokoll_ = MQTT_PROTOCOL_V311;
        a.wartezeit_.Sofort();
    }
    a.Verloren(AnmeldeGrund(rc));
}

void TMqttArbeiter::BeiTrennung(mosquitto*, void* selbst, int rc, const mqtt5__property*) {
    TMqttArbeiter& a = Selbst(selbst);
    if (a.gewollt_) {
        a.Verloren(MqttGrund(rc == 0 ? MOSQ_ERR_CONN_LOST : rc, errno));
    }
}

void TMqttArbeiter::BeiNachricht(mosquitto*, void* selbst, const mosquitto_message* nachricht,
                                 const mqtt5__property*) {
    const std::string inhalt(static_cast<const char*>(nachricht->payload),
                             static_cast<std::size_t>(nachricht->payloadlen));
    TMqttArbeiter& a = Selbst(selbst);
    emit a.NachrichtErhalten(a.lauf_, nachricht->topic, inhalt, nachricht->retain);
}
