// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Sammler.h"

#include "mqtt/Nutzlast.h"
#include "mqtt/Themen.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>

namespace {

// A batch is committed this long after its first message, or at once when it is this big.
constexpr int SammelzeitMs = 50;
constexpr std::size_t GrosserStapel = 2000;
// While the database is away at most this many messages wait; newer ones are dropped and
// come again from their outboxes.
constexpr std::size_t HoechstensWartend = 200000;
// An ack names the latest measurements of its meter.
constexpr std::size_t QuittierteMessungen = 20;

} // namespace

TSammler::TSammler(TSammlerOptionen optionen, QObject* parent)
    : QObject(parent)
    , optionen_(std::move(optionen))
    , datenbank_(optionen_.Datenbank)
    , takt_(new QTimer(this))
    , neuVersuch_(new QTimer(this)) {
    takt_->setSingleShot(true);
    connect(takt_, &QTimer::timeout, this, [this] { Festschreiben(); });
    neuVersuch_->setSingleShot(true);
    connect(neuVersuch_, &QTimer::timeout, this, [this] { Festschreiben(); });
}

TSammler::~TSammler() = default;

void TSammler::Melden(const std::string& text) {
    if (text != gemeldet_) {
        gemeldet_ = text;
        std::fprintf(optionen_.Meldungen, "%s\n", text.c_str());
        std::fflush(optionen_.Meldungen);
    }
}

void TSammler::Starten() {
    try {
        datenbank_.Verbinden();
        Melden("Datenbank verbunden, Tabellen bereit.");
    } catch (const ESchemaZuNeu& fehler) {
        Aufgeben(fehler.what());
        return;
    } catch (const EDatenbank& fehler) {
        Melden(fehler.what() + std::string("; neuer Versuch folgt."));
    }
    verbindung_ = std::make_unique<TMqttVerbindung>(optionen_.Zugang);
    TMqttVerbindung* v = verbindung_.get();
    connect(v, &TMqttVerbindung::Verbunden, this, [this](bool) { Verbunden(); });
    connect(v, &TMqttVerbindung::Getrennt, this, [this](const QString& grund) {
        Melden("Broker getrennt: " + grund.toStdString() + "; neuer Versuch folgt.");
    });
    connect(v, &TMqttVerbindung::NachrichtErhalten, this,
            [this](const std::string& thema, const std::string& inhalt, bool) {
                Angekommen(thema, inhalt);
            });
    verbindung_->Verbinden();
}

void TSammler::Verbunden() {
    Melden("Broker verbunden.");
    const std::string vorsatz =
        optionen_.Gruppe.empty() ? std::string() : "$share/" + optionen_.Gruppe + "/";
    verbindung_->Abonnieren(vorsatz + AlleThemen(TThemenArt::Messwert), 1);
    verbindung_->Abonnieren(vorsatz + AlleThemen(TThemenArt::Ereignis), 1);
}

void TSammler::Angekommen(const std::string& thema, const std::string& inhalt) {
    TThemenTeile teile;
    if (!ThemaZerlegen(thema, teile) ||
        (teile.Art != TThemenArt::Messwert && teile.Art != TThemenArt::Ereignis)) {
        return;
    }
    TEingang eingang{teile.Bench, teile.Meter, teile.Art == TThemenArt::Ereignis, {}, 0,
                     inhalt,      {}};
    TNachrichtKennung kennung;
    if (!NutzlastPruefen(inhalt, eingang.Ereignis, kennung, eingang.Fehler)) {
        if (kennung.Seq == 0) {
            Melden("Nachricht auf " + thema + " ohne Messung und seq verworfen: " + eingang.Fehler);
            return;
        }
    } else {
        eingang.Fehler.clear();
    }
    eingang.Messung = kennung.Messung;
    eingang.Seq = kennung.Seq;
    if (wartend_.size() >= HoechstensWartend) {
        return; // its publisher sends it again
    }
    wartend_.push_back(std::move(eingang));
    if (wartend_.size() >= GrosserStapel) {
        Festschreiben();
    } else if (!takt_->isActive() && !neuVersuch_->isActive()) {
        takt_->start(SammelzeitMs);
    }
}

// Nothing more is taken or stored; what waits stays unacknowledged, so its publishers keep it.
void TSammler::Aufgeben(const std::string& grund) {
    takt_->stop();
    neuVersuch_->stop();
    wartend_.clear();
    if (verbindung_) {
        verbindung_->Trennen();
    }
    // Queued: main() ends the event loop, which may not run yet when Starten() finds it.
    QMetaObject::invokeMethod(
        this, [this, text = QString::fromStdString(grund)] { emit Aufgegeben(text); },
        Qt::QueuedConnection);
}

void TSammler::Festschreiben() {
    takt_->stop();
    if (wartend_.empty()) {
        return;
    }
    std::vector<TQuittungsStand> staende;
    try {
        staende = datenbank_.Schreiben(wartend_);
    } catch (const ESchemaZuNeu& fehler) {
        Aufgeben(fehler.what());
        return;
    } catch (const EDatenbank& fehler) {
        Melden(std::string(fehler.what()) + "; " + std::to_string(wartend_.size()) +
               " Nachrichten warten.");
        neuVersuch_->start(wartezeitMs_);
        wartezeitMs_ = std::min(wartezeitMs_ * 2, 10000);
        return;
    }
    wartezeitMs_ = 1000;
    neuVersuch_->stop();
    wartend_.clear();
    Melden("Speichern läuft.");
    Quittieren(staende);
}

void TSammler::Quittieren(const std::vector<TQuittungsStand>& staende) {
    std::map<std::pair<std::string, std::string>, bool> geaendert;
    for (const TQuittungsStand& stand : staende) {
        auto& liste = quittungen_[{stand.Bench, stand.Meter}];
        const auto alt = std::find_if(liste.begin(), liste.end(),
                                      [&](const auto& e) { return e.first == stand.Messung; });
        if (alt != liste.end()) {
            liste.erase(alt);
        }
        liste.emplace_back(stand.Messung, stand.Seq);
        while (liste.size() > QuittierteMessungen) {
            liste.pop_front();
        }
        geaendert[{stand.Bench, stand.Meter}] = true;
    }
    if (!verbindung_) {
        return;
    }
    for (const auto& [schluessel, ja] : geaendert) {
        QJsonObject json;
        for (const auto& [messung, seq] : quittungen_[schluessel]) {
            json.insert(QString::fromStdString(messung), static_cast<qint64>(seq));
        }
        // Lost while the broker is away; the next commit for the meter says it again, and
        // the publisher sends what stays unacknowledged.
        verbindung_->Veroeffentlichen(
            Thema(schluessel.first, schluessel.second, TThemenArt::Quittung),
            QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString(), 1, true);
    }
}

void TSammler::Beenden() {
    Festschreiben();
    if (verbindung_) {
        verbindung_->Trennen();
    }
}
