// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "measurement/Vorlauf.h"
#include "mqtt/MqttVerbindung.h"
#include "mqtt/Nutzlast.h"
#include "mqtt/VeroeffentlichenEinstellungen.h"
#include "reception/ProgrammZustand.h"
#include "storage/Uhr.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class QTimer;
class TAusgang;
struct TAusgangsSatz;
class TMessung;
struct TLeitungsStand;
enum class TLeitungsWechsel : std::uint8_t;

// Publishes a meter measurement to an MQTT broker: every reading and every event of the
// measurement goes into the meter's outbox on disk first, then to the broker (QoS 1, at most
// 1000 unacknowledged), and leaves the outbox once the collector acknowledged it on the
// meter's ack topic. After a reconnect, a restart, or when acknowledgements stop coming,
// everything unacknowledged goes out again from the first. It listens to the measurement and
// decides nothing about it; its own trouble never stops the measurement or its saving. Its outbox
// is the measurement's TVorlauf: a saved reading goes into it before its line goes into the data
// file, and it is synced before the data file is.
class TVeroeffentlicher : public QObject, private TVorlauf {
    Q_OBJECT
public:
    // `messung` and `zustand` outlive the publisher, which is the measurement's TVorlauf until
    // it goes. The outboxes lie under `zustandsOrdner`
    // (ZustandsOrdner()). A meter measurement that already runs is published from now on. Raises
    // EMeldung (German) for a server address that cannot be read or a password file that cannot be
    // used.
    TVeroeffentlicher(TMessung& messung, const TProgrammZustand& zustand,
                      const TVeroeffentlichenEinstellungen& einstellungen,
                      std::filesystem::path zustandsOrdner, QObject* parent = nullptr);
    // Says "offline" on the status topic and disconnects; the measurement has no TVorlauf then.
    ~TVeroeffentlicher() override;

    // One line for the window or the log: "verbunden", "getrennt seit 16:53:34 (Grund)",
    // "verbindet ...", with ", N Messwerte warten" while the outbox holds any.
    QString Zustand() const;
    bool IstVerbunden() const;
    // Messages in the outbox of the current meter not yet acknowledged.
    std::size_t Wartend() const;
    // Whether the outbox holds messages not yet brought onto the disk.
    bool AusgangUngesichert() const;
    const std::string& Arbeitsplatz() const noexcept { return arbeitsplatz_; }
    // The current meter's name and outbox folder; empty before the first meter measurement.
    const std::string& Messgeraet() const noexcept { return messgeraet_; }
    std::filesystem::path AusgangsOrdner() const;

    // How long to wait for acknowledgements before sending the unacknowledged again (the
    // first time; it doubles up to a minute while none come).
    void WartezeitSetzen(int ms);

    // Where each reading's chain head comes from, when an audit trail is kept
    // (TProtokoll::KettenKopf); empty, or a source giving "", leaves it out.
    void KettenKopfSetzen(std::function<std::string()> kettenKopf) {
        kettenKopf_ = std::move(kettenKopf);
    }

signals:
    void ZustandGeaendert();
    // Something the user should read (German): connected, the connection lost (with the
    // reason), the outbox is full or cannot be written. The same text is not repeated.
    void Meldung(const QString& text);
    // The outbox is full and its oldest messages go (also told through Meldung): once, until
    // it was empty again. The window shows it in its error box.
    void AusgangVoll(const QString& text);
    // The outbox cannot be made, written, kept on the disk or read, so readings may not reach
    // the broker (also told through Meldung, and as rarely). The window shows it in its error
    // box.
    void Stoerung(const QString& text);

private:
    void Anhoeren();
    void VorDerZeile(const TMesswert& messwert, std::optional<std::int64_t> zeile) override;
    void VorDemSichern() override;
    void LeitungGeaendert(TLeitungsWechsel wechsel, const TLeitungsStand& stand);
    void Begonnen(TLeseModus art);
    void SpeichernGeaendert(TSpeicherArt art);
    void MessgeraetWaehlen(const std::string& name);
    void VerbindungAufbauen();
    void Ereignis(TEreignisArt art, std::string detail = {}, std::string datendatei = {});
    void Ablegen(const std::string& thema, const std::string& inhalt);
    void MesswertAblegen(const TMesswert& messwert, const TSpeicherOrt& ort);
    void Verbunden();
    void Getrennt(const QString& grund);
    void Angekommen(const std::string& thema, const std::string& inhalt);
    void Senden();
    void Stockt();
    void Sichern();
    void Melden(const QString& text);
    void Stoeren(const QString& text);
    std::string Datendatei() const;
    TNachrichtKopf NaechsterKopf() const;
    void LueckeBauen(TAusgangsSatz& satz) const;

    TMessung& messung_;
    const TProgrammZustand& zustand_;
    TMqttZugang zugang_;
    std::string server_;
    std::string arbeitsplatz_;
    std::filesystem::path zustandsOrdner_;
    std::uint64_t grenze_;
    std::string messgeraet_;
    std::string port_;
    std::string messungsId_;
    std::uint64_t seq_ = 0;
    bool vorab_ = false; // the last reading went into the outbox before its data-file line
    bool aktiv_ = false; // a meter measurement runs
    std::unique_ptr<TAusgang> ausgang_;
    std::unique_ptr<TMqttVerbindung> verbindung_;
    QTimer* stockung_ = nullptr;
    QTimer* sichern_ = nullptr; // the outbox onto the disk once a second, as the data file
    int wartezeitMs_ = 10000;
    int stockungMs_ = 10000;
    std::function<std::string()> kettenKopf_;
    std::optional<TUhrzeit> getrenntSeit_;
    QString grund_;
    QString gemeldet_;
};

// The publisher that `einstellungen` ask for, or none when publishing is off; the outboxes lie
// under `zustandsOrdner`, under ZustandsOrdner() when it is empty. Raises EMeldung as the
// publisher's constructor does.
std::unique_ptr<TVeroeffentlicher>
VeroeffentlicherFuer(TMessung& messung, const TProgrammZustand& zustand,
                     const TVeroeffentlichenEinstellungen& einstellungen,
                     const std::filesystem::path& zustandsOrdner);

// The client id of a bench's meter: "quorlits-" and 16 hex digits of a hash of both, so it
// stays the same across restarts and two meters never share it.
std::string ClientIdVon(const std::string& arbeitsplatz, const std::string& messgeraet);
