// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/Veroeffentlicher.h"

#include "framework/Meldung.h"
#include "measurement/Messung.h"
#include "measurement/Rueckkehr.h"
#include "mqtt/Themen.h"
#include "publish/Ausgang.h"
#include "publish/MessgeraetName.h"
#include "serial/ComPortDevices.h"
#include "serial/EComPort.h"
#include "storage/PCZeit.h"
#include "storage/RohdatenFormat.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QUuid>

#include <utility>

namespace {

// At most this many messages are out and not yet acknowledged by the collector.
constexpr std::size_t HoechstensUnterwegs = 1000;
constexpr int LaengsteStockungMs = 60000;

std::string StatusText(bool online) {
    QJsonObject json;
    json.insert(QStringLiteral("status"),
                online ? QStringLiteral("online") : QStringLiteral("offline"));
    if (online) {
        json.insert(QStringLiteral("version"), QString::fromUtf8(ProgrammVersion().data()));
    }
    return QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

std::unique_ptr<TVeroeffentlicher>
VeroeffentlicherFuer(TMessung& messung, const TProgrammZustand& zustand,
                     const TVeroeffentlichenEinstellungen& einstellungen,
                     const std::filesystem::path& zustandsOrdner) {
    if (!einstellungen.Aktiv) {
        return nullptr;
    }
    return std::make_unique<TVeroeffentlicher>(messung, zustand, einstellungen,
                                               zustandsOrdner.empty() ? ZustandsOrdner()
                                                                      : zustandsOrdner);
}

std::string ClientIdVon(const std::string& arbeitsplatz, const std::string& messgeraet) {
    const QByteArray schluessel = QByteArray::fromStdString(arbeitsplatz + '\0' + messgeraet);
    return "quorlits-" + QCryptographicHash::hash(schluessel, QCryptographicHash::Sha256)
                             .toHex()
                             .left(16)
                             .toStdString();
}

TVeroeffentlicher::TVeroeffentlicher(TMessung& messung, const TProgrammZustand& zustand,
                                     const TVeroeffentlichenEinstellungen& einstellungen,
                                     std::filesystem::path zustandsOrdner, QObject* parent)
    : QObject(parent)
    , messung_(messung)
    , zustand_(zustand)
    , zugang_(ZugangAus(einstellungen))
    , server_(einstellungen.Server)
    , arbeitsplatz_(ArbeitsplatzName(einstellungen))
    , zustandsOrdner_(std::move(zustandsOrdner))
    , grenze_(einstellungen.OutboxGrenze)
    , stockung_(new QTimer(this))
    , sichern_(new QTimer(this)) {
    stockung_->setSingleShot(true);
    sichern_->setSingleShot(true);
    connect(sichern_, &QTimer::timeout, this, [this] { Sichern(); });
    connect(stockung_, &QTimer::timeout, this, [this] { Stockt(); });
    Anhoeren();
    // Switched on while a meter measurement runs (the window's dialog): it is published from
    // now on, as a measurement of its own.
    if (messung_.Laeuft() && messung_.Modus() == lmWTW) {
        Begonnen(lmWTW);
        if (messung_.Speichern() != TSpeicherArt::Aus) {
            SpeichernGeaendert(messung_.Speichern());
        }
    }
}

void TVeroeffentlicher::Anhoeren() {
    TMessung* m = &messung_;
    messung_.VorlaufSetzen(this);
    connect(m, &TMessung::Begonnen, this, [this](TLeseModus art) { Begonnen(art); });
    connect(m, &TMessung::NeuerMesswert, this, [this](const TMesswert& messwert) {
        if (std::exchange(vorab_, false)) {
            return;
        }
        TSpeicherOrt ort;
        if (zustand_.Speicher.Art == TSpeicherArt::Sofort) {
            ort.Datendatei = Datendatei(); // saving failed before its line was placed
        }
        MesswertAblegen(messwert, ort);
    });
    connect(m, &TMessung::Beendet, this, [this](TLeseModus) {
        Ereignis(TEreignisArt::Ende);
        aktiv_ = false;
    });
    connect(m, &TMessung::SpeichernGeaendert, this,
            [this](TSpeicherArt art) { SpeichernGeaendert(art); });
    connect(m, &TMessung::LeitungGeaendert, this,
            [this](TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
                LeitungGeaendert(wechsel, stand);
            });
}

// A saved reading goes into the outbox before its line goes into the data file: a crash
// between the two leaves a message without a line, never a line without its message.
void TVeroeffentlicher::VorDerZeile(const TMesswert& messwert, std::optional<std::int64_t> zeile) {
    MesswertAblegen(messwert, TSpeicherOrt{Datendatei(), zeile});
    vorab_ = true;
}

// The outbox goes onto the disk before the data file does: a power cut that keeps a line of the
// data file keeps its message too, which the next start sends.
void TVeroeffentlicher::VorDemSichern() {
    Sichern();
}

void TVeroeffentlicher::LeitungGeaendert(TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
    if (wechsel == TLeitungsWechsel::Verloren || wechsel == TLeitungsWechsel::Aufgegeben) {
        Ereignis(TEreignisArt::Verloren, VerbindungsGrund(stand.Verlustfehler));
    } else if (wechsel == TLeitungsWechsel::Zurueck) {
        Ereignis(TEreignisArt::Zurueck, stand.RueckkehrName);
    }
}

void TVeroeffentlicher::SpeichernGeaendert(TSpeicherArt art) {
    if (art == TSpeicherArt::Aus) {
        Ereignis(TEreignisArt::SpeichernAus);
    } else {
        Ereignis(TEreignisArt::SpeichernEin,
                 art == TSpeicherArt::Sofort ? "immediate" : "automatic", Datendatei());
    }
}

TVeroeffentlicher::~TVeroeffentlicher() {
    messung_.VorlaufSetzen(nullptr);
    Sichern();
    if (verbindung_) {
        verbindung_->Trennen(StatusText(false));
    }
}

void TVeroeffentlicher::WartezeitSetzen(int ms) {
    wartezeitMs_ = ms;
    stockungMs_ = ms;
}

bool TVeroeffentlicher::IstVerbunden() const {
    return verbindung_ && verbindung_->IstVerbunden();
}

std::size_t TVeroeffentlicher::Wartend() const {
    return ausgang_ ? ausgang_->Wartend() : 0;
}

bool TVeroeffentlicher::AusgangUngesichert() const {
    return ausgang_ && ausgang_->Ungesichert();
}

std::filesystem::path TVeroeffentlicher::AusgangsDatei() const {
    return ausgang_ ? ausgang_->Pfad() : std::filesystem::path();
}

QString TVeroeffentlicher::Zustand() const {
    QString text;
    if (IstVerbunden()) {
        text = QStringLiteral("verbunden");
    } else if (getrenntSeit_) {
        text = QStringLiteral("getrennt seit %1 (%2)")
                   .arg(QString::fromStdString(PCZeitText(getrenntSeit_->Lokal)), grund_);
    } else if (verbindung_) {
        text = QStringLiteral("verbindet ...");
    } else {
        // Without an outbox for the meter nothing is published until the next measurement.
        text = messgeraet_.empty() || ausgang_ ? QStringLiteral("wartet auf eine Messung")
                                               : QStringLiteral("aus, ohne Ausgang");
    }
    if (Wartend() > 0) {
        text += QStringLiteral(", %1 Messwerte warten").arg(Wartend());
    }
    return text;
}

void TVeroeffentlicher::Melden(const QString& text) {
    if (text != gemeldet_) {
        gemeldet_ = text;
        emit Meldung(text);
    }
}

void TVeroeffentlicher::Stoeren(const QString& text) {
    if (text != gemeldet_) {
        Melden(text);
        emit Stoerung(text);
    }
}

std::string TVeroeffentlicher::Datendatei() const {
    const std::string& datei = zustand_.Konfiguration.Ausgabedatei;
    std::error_code fehler;
    const std::filesystem::path absolut = std::filesystem::absolute(datei, fehler);
    return fehler ? datei : absolut.string();
}

void TVeroeffentlicher::Begonnen(TLeseModus art) {
    if (art != lmWTW) {
        return; // an unformatted measurement has no readings
    }
    port_ = messung_.Leitung().MessName;
    TPortIdentity adapter;
    try {
        adapter = ComPortIdentity(port_);
    } catch (const EComPort&) {
        // Without the device list the meter goes by its port's name.
    }
    MessgeraetWaehlen(MessgeraetName(adapter, port_));
    messungsId_ = QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString();
    seq_ = 0;
    aktiv_ = true;
    Ereignis(TEreignisArt::Beginn);
}

void TVeroeffentlicher::MessgeraetWaehlen(const std::string& name) {
    if (name == messgeraet_ && ausgang_) {
        return;
    }
    if (verbindung_) {
        verbindung_->Trennen(StatusText(false));
        verbindung_.reset();
    }
    messgeraet_ = name;
    ausgang_.reset();
    try {
        ausgang_ = std::make_unique<TAusgang>(
            AusgangsPfad(zustandsOrdner_, arbeitsplatz_, messgeraet_), grenze_);
    } catch (...) {
        Stoeren(QStringLiteral("Veröffentlichen ist aus: ") +
                QString::fromStdString(MeldungsText(std::current_exception())));
        emit ZustandGeaendert();
        return;
    }
    ausgang_->BeiVoll = [this](const std::string& text) {
        Melden(QString::fromStdString(text));
        emit AusgangVoll(QString::fromStdString(text));
    };
    VerbindungAufbauen();
}

void TVeroeffentlicher::VerbindungAufbauen() {
    TMqttZugang zugang = zugang_;
    zugang.ClientId = ClientIdVon(arbeitsplatz_, messgeraet_);
    zugang.WillThema = Thema(arbeitsplatz_, messgeraet_, TThemenArt::Zustand);
    zugang.WillInhalt = StatusText(false);
    verbindung_ = std::make_unique<TMqttVerbindung>(std::move(zugang));
    TMqttVerbindung* v = verbindung_.get();
    connect(v, &TMqttVerbindung::Verbunden, this, [this](bool) { Verbunden(); });
    connect(v, &TMqttVerbindung::Getrennt, this, [this](const QString& grund) { Getrennt(grund); });
    connect(v, &TMqttVerbindung::NachrichtErhalten, this,
            [this](const std::string& thema, const std::string& inhalt, bool) {
                Angekommen(thema, inhalt);
            });
    verbindung_->Verbinden();
    emit ZustandGeaendert();
}

TNachrichtKopf TVeroeffentlicher::NaechsterKopf() {
    return TNachrichtKopf{messungsId_, ++seq_, port_};
}

void TVeroeffentlicher::Ereignis(TEreignisArt art, std::string detail, std::string datendatei) {
    if (!aktiv_ || !ausgang_) {
        return;
    }
    const TUhrzeit jetzt = messung_.Jetzt();
    const TEreignis ereignis{
        art, jetzt.UtcMs, jetzt.UtcVersatz, std::move(detail), std::move(datendatei), 0, 0, {}};
    Ablegen(Thema(arbeitsplatz_, messgeraet_, TThemenArt::Ereignis),
            EreignisNutzlast(NaechsterKopf(), ereignis));
}

void TVeroeffentlicher::MesswertAblegen(const TMesswert& messwert, const TSpeicherOrt& ort) {
    if (!aktiv_ || !ausgang_) {
        return;
    }
    const TMesswertHerkunft herkunft{messung_.Angaben(),
                                     kettenKopf_ ? kettenKopf_() : std::string()};
    Ablegen(Thema(arbeitsplatz_, messgeraet_, TThemenArt::Messwert),
            MesswertNutzlast(NaechsterKopf(), messwert, ort, herkunft));
}

void TVeroeffentlicher::Ablegen(const std::string& thema, const std::string& inhalt) {
    try {
        ausgang_->Ablegen(TAusgangsSatz{TAusgangsArt::Nachricht, messungsId_, seq_, thema, inhalt});
    } catch (...) {
        Stoeren(QStringLiteral("Der Ausgang %1 nimmt nichts an (%2); die Messwerte gehen weiter "
                               "in die Datendatei.")
                    .arg(QString::fromStdString(ausgang_->Pfad().string()),
                         QString::fromStdString(MeldungsText(std::current_exception()))));
        return;
    }
    if (!sichern_->isActive()) {
        sichern_->start(1000);
    }
    Senden();
    emit ZustandGeaendert();
}

void TVeroeffentlicher::Sichern() {
    if (!ausgang_) {
        return;
    }
    try {
        ausgang_->Synchronisieren();
    } catch (...) {
        Stoeren(QString::fromStdString(
            "Der Ausgang " + ausgang_->Pfad().string() +
            " lässt sich nicht sichern: " + MeldungsText(std::current_exception())));
    }
}

void TVeroeffentlicher::Verbunden() {
    getrenntSeit_.reset();
    Melden(
        QStringLiteral("Veröffentlichen: verbunden mit %1 als Arbeitsplatz „%2“, Messgerät „%3“.")
            .arg(QString::fromStdString(server_), QString::fromStdString(arbeitsplatz_),
                 QString::fromStdString(messgeraet_)));
    verbindung_->Veroeffentlichen(Thema(arbeitsplatz_, messgeraet_, TThemenArt::Zustand),
                                  StatusText(true), 1, true);
    verbindung_->Abonnieren(Thema(arbeitsplatz_, messgeraet_, TThemenArt::Quittung), 1);
    // Whatever was out before is unknown to this connection: from the first unacknowledged on.
    ausgang_->Zuruecksetzen();
    stockungMs_ = wartezeitMs_;
    Senden();
    emit ZustandGeaendert();
}

void TVeroeffentlicher::Getrennt(const QString& grund) {
    if (!getrenntSeit_) {
        getrenntSeit_ = messung_.Jetzt();
    }
    grund_ = grund;
    stockung_->stop();
    Melden(
        QStringLiteral("Veröffentlichen: keine Verbindung zu %1 (%2); die Messwerte warten in %3.")
            .arg(QString::fromStdString(server_), grund,
                 QString::fromStdString(ausgang_->Pfad().string())));
    emit ZustandGeaendert();
}

void TVeroeffentlicher::Senden() {
    if (!IstVerbunden() || !ausgang_) {
        return;
    }
    std::vector<TAusgangsSatz> saetze;
    try {
        saetze = ausgang_->Naechste(HoechstensUnterwegs);
    } catch (...) {
        Stoeren(QString::fromStdString("Lesen des Ausgangs: " +
                                       MeldungsText(std::current_exception())));
        return;
    }
    for (const TAusgangsSatz& satz : saetze) {
        verbindung_->Veroeffentlichen(satz.Thema, satz.Inhalt, 1, false);
    }
    if (ausgang_->Unterwegs() > 0 && !stockung_->isActive()) {
        stockung_->start(stockungMs_);
    }
}

// The collector's acknowledgement: {"<measurement>": <highest seq committed without a gap>}.
void TVeroeffentlicher::Angekommen(const std::string& thema, const std::string& inhalt) {
    if (thema != Thema(arbeitsplatz_, messgeraet_, TThemenArt::Quittung) || !ausgang_) {
        return;
    }
    const QJsonDocument dokument = QJsonDocument::fromJson(QByteArray::fromStdString(inhalt));
    std::size_t weg = 0;
    const QJsonObject quittungen = dokument.object();
    for (auto it = quittungen.begin(); it != quittungen.end(); ++it) {
        const qint64 seq = it.value().toInteger(-1);
        if (seq <= 0) {
            continue;
        }
        try {
            weg +=
                ausgang_->QuittungNehmen(it.key().toStdString(), static_cast<std::uint64_t>(seq));
        } catch (...) {
            Melden(QString::fromStdString("Quittung im Ausgang: " +
                                          MeldungsText(std::current_exception())));
        }
    }
    if (weg == 0) {
        return;
    }
    stockungMs_ = wartezeitMs_;
    stockung_->stop();
    Senden();
    emit ZustandGeaendert();
}

// No acknowledgement for a while although messages are out: the collector may have lost them
// (it died after the broker handed them over). Everything unacknowledged goes again.
void TVeroeffentlicher::Stockt() {
    if (!IstVerbunden() || !ausgang_ || ausgang_->Unterwegs() == 0) {
        return;
    }
    ausgang_->Zuruecksetzen();
    stockungMs_ = std::min(stockungMs_ * 2, LaengsteStockungMs);
    Senden();
}
