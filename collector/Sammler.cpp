// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Sammler.h"

#include "collector/Eingang.h"
#include "mqtt/Themen.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>
#include <iterator>
#include <optional>

namespace {

// A batch goes to the writer this long after its first message, or at once when it is this big
// (and never bigger); while the writer is busy, the next batch gathers.
constexpr int SammelzeitMs = 50;
constexpr std::size_t GrosserStapel = 5000;
// While the database is away at most this many messages wait; newer ones are dropped and
// come again from their outboxes.
constexpr std::size_t HoechstensWartend = 200000;
// An ack names the latest measurements of its meter.
constexpr std::size_t QuittierteMessungen = 20;

} // namespace

TSammler::TSammler(TSammlerOptionen optionen, QObject* parent)
    : QObject(parent)
    , optionen_(std::move(optionen))
    , takt_(new QTimer(this))
    , neuVersuch_(new QTimer(this)) {
    takt_->setSingleShot(true);
    connect(takt_, &QTimer::timeout, this, [this] { Festschreiben(); });
    neuVersuch_->setSingleShot(true);
    connect(neuVersuch_, &QTimer::timeout, this, [this] { Festschreiben(); });
    // The writer's news reaches this thread through its event loop.
    schreiber_ = std::make_unique<TSchreiber>(optionen_.Datenbank, [this] {
        QMetaObject::invokeMethod(
            this, [this] { Abholen(); }, Qt::QueuedConnection);
    });
}

TSammler::~TSammler() {
    schreiber_->Anhalten();
}

void TSammler::Melden(const std::string& text) {
    if (text != gemeldet_) {
        gemeldet_ = text;
        std::fprintf(optionen_.Meldungen, "%s\n", text.c_str());
        std::fflush(optionen_.Meldungen);
    }
}

void TSammler::Starten() {
    Festschreiben(); // connects to the database and makes the tables ready
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
    std::string meldung;
    std::optional<TEingang> eingang = EingangLesen(thema, inhalt, meldung);
    if (!eingang) {
        if (!meldung.empty()) {
            Melden(meldung);
        }
        return;
    }
    if (endet_ || Wartend() >= HoechstensWartend) {
        return; // its publisher sends it again
    }
    wartend_.push_back(std::move(*eingang));
    if (wartend_.size() >= GrosserStapel) {
        Festschreiben();
    } else if (!takt_->isActive() && !neuVersuch_->isActive()) {
        takt_->start(SammelzeitMs);
    }
}

// Nothing more is taken or stored; what waits stays unacknowledged, so its publishers keep it.
void TSammler::Aufgeben(const std::string& grund) {
    endet_ = true;
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

// Hands the next batch to the writer, when it is free and no retry is pending; without
// messages only after a failure, to connect again.
void TSammler::Festschreiben() {
    takt_->stop();
    if (endet_ || neuVersuch_->isActive() || !schreiber_->Frei() ||
        (wartend_.empty() && !datenbankFehlt_)) {
        return;
    }
    std::vector<TEingang> stapel = StapelNehmen();
    unterwegs_ = stapel.size();
    schreiber_->Uebergeben(std::move(stapel));
}

// The oldest waiting messages, as many as go into one batch.
std::vector<TEingang> TSammler::StapelNehmen() {
    const auto ende =
        wartend_.begin() + static_cast<std::ptrdiff_t>(std::min(wartend_.size(), GrosserStapel));
    std::vector<TEingang> stapel(std::make_move_iterator(wartend_.begin()),
                                 std::make_move_iterator(ende));
    wartend_.erase(wartend_.begin(), ende);
    nurVerbinden_ = stapel.empty();
    return stapel;
}

void TSammler::Abholen() {
    if (std::optional<TSchreibErgebnis> ergebnis = schreiber_->Abholen()) {
        Verarbeiten(std::move(*ergebnis));
        Festschreiben(); // what gathered meanwhile
    }
}

void TSammler::Verarbeiten(TSchreibErgebnis ergebnis) {
    unterwegs_ = 0;
    if (ergebnis.SchemaZuNeu) {
        Aufgeben(ergebnis.Fehler);
        return;
    }
    if (!ergebnis.Fehler.empty()) {
        // Back to the front, so the batch goes again first and in its order.
        wartend_.insert(wartend_.begin(), std::make_move_iterator(ergebnis.Stapel.begin()),
                        std::make_move_iterator(ergebnis.Stapel.end()));
        Melden(ergebnis.Fehler + (wartend_.empty() ? std::string("; neuer Versuch folgt.")
                                                   : "; " + std::to_string(wartend_.size()) +
                                                         " Nachrichten warten."));
        datenbankFehlt_ = true;
        if (!endet_) {
            neuVersuch_->start(wartezeitMs_);
            wartezeitMs_ = std::min(wartezeitMs_ * 2, 10000);
        }
        return;
    }
    wartezeitMs_ = 1000;
    datenbankFehlt_ = false;
    Melden(nurVerbinden_ ? "Datenbank verbunden, Tabellen bereit." : "Speichern läuft.");
    Quittieren(ergebnis.Staende);
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

// Waits for the batch being written, then writes what waits in this thread, batch by batch,
// as long as the database takes them.
void TSammler::Beenden() {
    endet_ = true;
    takt_->stop();
    neuVersuch_->stop();
    schreiber_->Anhalten();
    if (std::optional<TSchreibErgebnis> ergebnis = schreiber_->Abholen()) {
        Verarbeiten(std::move(*ergebnis));
    }
    while (!wartend_.empty()) {
        Verarbeiten(schreiber_->Schreiben(StapelNehmen()));
        if (datenbankFehlt_) {
            break;
        }
    }
    if (verbindung_) {
        verbindung_->Trennen();
    }
}
