// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/MqttVerbindung.h"

#include "mqtt/MqttArbeiter.h"
#include "mqtt/Postfach.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {

// The last words go out before the thread ends; a thread stuck longer (in a name lookup) is left
// to end by itself.
constexpr std::chrono::seconds LetzteWorte{2};

} // namespace

// What the connection and its thread share. The thread's own objects (the client, its event
// loop) are reached only from work that runs in the thread.
struct TMqttVerbindung::TFaden {
    TPostfach ZumArbeiter;
    TPostfach ZumBesitzer;
    TMqttArbeiter* Arbeiter = nullptr;
    QEventLoop* Schleife = nullptr;
    std::mutex Sperre;
    std::condition_variable Ende;
    bool Fertig = false;
};

TMqttVerbindung::TMqttVerbindung(TMqttZugang zugang, QObject* parent)
    : QObject(parent)
    , faden_(std::make_shared<TFaden>()) {
    empfang_ = faden_->ZumBesitzer.Empfangen(this);
    thread_ = std::thread(&TMqttVerbindung::Laufen, faden_, std::move(zugang), this);
}

// The thread: the client in an event loop of its own until the connection ends it. Its signals
// go back through the Postfach; `besitzer` is not touched here, only named in that work, which
// runs in the owner's thread while the owner exists.
void TMqttVerbindung::Laufen(const std::shared_ptr<TFaden>& faden, TMqttZugang zugang,
                             TMqttVerbindung* besitzer) {
    {
        QEventLoop schleife;
        TMqttArbeiter arbeiter(std::move(zugang));
        faden->Schleife = &schleife;
        faden->Arbeiter = &arbeiter;
        TPostfach& zurueck = faden->ZumBesitzer;
        connect(
            &arbeiter, &TMqttArbeiter::Verbunden, &arbeiter,
            [&zurueck, besitzer](quint64 lauf, bool sitzungDa, int protokoll) {
                zurueck.Einwerfen([besitzer, lauf, sitzungDa, protokoll] {
                    besitzer->BeiVerbunden(lauf, sitzungDa, protokoll);
                });
            },
            Qt::DirectConnection);
        connect(
            &arbeiter, &TMqttArbeiter::Getrennt, &arbeiter,
            [&zurueck, besitzer](quint64 lauf, const QString& grund) {
                zurueck.Einwerfen([besitzer, lauf, grund] { besitzer->BeiGetrennt(lauf, grund); });
            },
            Qt::DirectConnection);
        connect(
            &arbeiter, &TMqttArbeiter::NachrichtErhalten, &arbeiter,
            [&zurueck, besitzer](quint64 lauf, const std::string& thema, const std::string& inhalt,
                                 bool behalten) {
                zurueck.Einwerfen([besitzer, lauf, thema, inhalt, behalten] {
                    if (besitzer->Aktuell(lauf)) {
                        emit besitzer->NachrichtErhalten(thema, inhalt, behalten);
                    }
                });
            },
            Qt::DirectConnection);
        faden->ZumArbeiter.Empfangen(&arbeiter);
        schleife.exec();
        faden->Arbeiter = nullptr;
        faden->Schleife = nullptr;
    }
    const std::lock_guard sperre(faden->Sperre);
    faden->Fertig = true;
    faden->Ende.notify_all();
}

TMqttVerbindung::~TMqttVerbindung() {
    delete empfang_; // before the Postfach it watches may go
    Posten([f = faden_.get()](TMqttArbeiter& a) {
        a.Trennen({});
        f->Schleife->quit();
    });
    std::unique_lock sperre(faden_->Sperre);
    const bool fertig =
        faden_->Ende.wait_for(sperre, LetzteWorte, [this] { return faden_->Fertig; });
    sperre.unlock();
    if (fertig) {
        thread_.join();
    } else {
        // Stuck in a name lookup: the thread ends with it, and frees what it shares.
        thread_.detach();
    }
}

void TMqttVerbindung::Posten(std::function<void(TMqttArbeiter&)> arbeit) {
    faden_->ZumArbeiter.Einwerfen(
        [f = faden_.get(), arbeit = std::move(arbeit)] { arbeit(*f->Arbeiter); });
}

void TMqttVerbindung::BeiVerbunden(quint64 lauf, bool sitzungDa, int protokoll) {
    if (Aktuell(lauf)) {
        verbunden_ = true;
        protokoll_ = protokoll;
        emit Verbunden(sitzungDa);
    }
}

void TMqttVerbindung::BeiGetrennt(quint64 lauf, const QString& grund) {
    if (Aktuell(lauf)) {
        verbunden_ = false;
        protokoll_ = 0;
        emit Getrennt(grund);
    }
}

void TMqttVerbindung::Verbinden() {
    gewollt_ = true;
    Posten([lauf = lauf_](TMqttArbeiter& a) { a.Verbinden(lauf); });
}

void TMqttVerbindung::Trennen(const std::string& letzteWorte) {
    gewollt_ = false;
    verbunden_ = false;
    protokoll_ = 0;
    ++lauf_;
    Posten([letzteWorte](TMqttArbeiter& a) { a.Trennen(letzteWorte); });
}

bool TMqttVerbindung::Veroeffentlichen(const std::string& thema, const std::string& inhalt, int qos,
                                       bool behalten) {
    if (!verbunden_) {
        return false;
    }
    Posten([thema, inhalt, qos, behalten](TMqttArbeiter& a) {
        a.Veroeffentlichen(thema, inhalt, qos, behalten);
    });
    return true;
}

bool TMqttVerbindung::Abonnieren(const std::string& filter, int qos) {
    if (!verbunden_) {
        return false;
    }
    Posten([filter, qos](TMqttArbeiter& a) { a.Abonnieren(filter, qos); });
    return true;
}
