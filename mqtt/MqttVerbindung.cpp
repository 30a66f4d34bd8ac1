// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/MqttVerbindung.h"

#include "mqtt/MqttArbeiter.h"

#include <QDeadlineTimer>
#include <QThread>

#include <utility>

namespace {

// The last words go out before the thread ends; a thread stuck longer is left to end by itself.
constexpr int LetzteWorteMs = 2000;

} // namespace

TMqttVerbindung::TMqttVerbindung(TMqttZugang zugang, QObject* parent)
    : QObject(parent)
    , faden_(std::make_unique<QThread>())
    , arbeiter_(new TMqttArbeiter(std::move(zugang))) {
    faden_->setObjectName(QStringLiteral("MQTT"));
    arbeiter_->moveToThread(faden_.get());
    connect(faden_.get(), &QThread::finished, arbeiter_, &QObject::deleteLater);
    connect(
        arbeiter_, &TMqttArbeiter::Verbunden, this,
        [this](quint64 lauf, bool sitzungDa, int protokoll) {
            if (Aktuell(lauf)) {
                verbunden_ = true;
                protokoll_ = protokoll;
                emit Verbunden(sitzungDa);
            }
        },
        Qt::QueuedConnection);
    connect(
        arbeiter_, &TMqttArbeiter::Getrennt, this,
        [this](quint64 lauf, const QString& grund) {
            if (Aktuell(lauf)) {
                verbunden_ = false;
                protokoll_ = 0;
                emit Getrennt(grund);
            }
        },
        Qt::QueuedConnection);
    connect(
        arbeiter_, &TMqttArbeiter::NachrichtErhalten, this,
        [this](quint64 lauf, const std::string& thema, const std::string& inhalt, bool behalten) {
            if (Aktuell(lauf)) {
                emit NachrichtErhalten(thema, inhalt, behalten);
            }
        },
        Qt::QueuedConnection);
    faden_->start();
}

TMqttVerbindung::~TMqttVerbindung() {
    const int frist = verbunden_ ? LetzteWorteMs : abschiedMs_;
    Posten([](TMqttArbeiter& a) {
        a.Trennen({});
        QThread::currentThread()->quit();
    });
    if (!faden_->wait(QDeadlineTimer(frist))) {
        // Stuck in a name lookup: the thread ends with it, deleting its client and itself.
        QThread* faden = faden_.release();
        connect(faden, &QThread::finished, faden, &QObject::deleteLater);
    }
}

template <typename Arbeit>
void TMqttVerbindung::Posten(Arbeit arbeit) {
    TMqttArbeiter* a = arbeiter_;
    QMetaObject::invokeMethod(
        a, [a, arbeit = std::move(arbeit)]() mutable { arbeit(*a); }, Qt::QueuedConnection);
}

void TMqttVerbindung::Verbinden() {
    gewollt_ = true;
    Posten([lauf = lauf_](TMqttArbeiter& a) { a.Verbinden(lauf); });
}

void TMqttVerbindung::Trennen(const std::string& letzteWorte) {
    if (verbunden_) {
        abschiedMs_ = LetzteWorteMs;
    }
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
