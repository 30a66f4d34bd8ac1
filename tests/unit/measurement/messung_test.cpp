// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The measurement without a window: every start, end and saving combination, a loss and return
// during each, and an error at each step, on a scripted device with a fixed clock. The window and
// the logger only listen to what is checked here.
#include "Warten.h"

#include "framework/Meldung.h"
#include "measurement/Messung.h"
#include "serial/ComPort.h"
#include "serial/EComPort.h"
#include "serial/platform/FakeComDevice.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};
const std::string Ph7 = " 7.00 pH   25.0 \xF8"
                        "C\r\n";

std::string Lesen(const std::string& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
}

const char* Name(TLeseModus art) {
    return art == lmWTW ? "WTW" : art == lmRS232 ? "RS232" : "-";
}

const char* Name(TSpeicherArt art) {
    return art == TSpeicherArt::Sofort ? "Sofort" : art == TSpeicherArt::Auto ? "Auto" : "Aus";
}

// A measurement on the fake device, with every signal written down in order.
class TMessRig {
public:
    TMessRig() {
        AnfangszustandSetzen(zustand, Jetzt);
        zustand.Konfiguration.AutoDateiname = false;
        zustand.Konfiguration.Ausgabedatei = Pfad("daten.txt");
        auto geraet = std::make_unique<TFakeComDevice>();
        Geraet = geraet.get();
        port = std::make_unique<TComPort>(std::move(geraet));
        port->SetPort("/dev/ttyFAKE0");
        messung = std::make_unique<TMessung>(zustand, *port, einstellungen, FesteUhr(Jetzt, 3600));
        Mitschreiben();
    }

    std::string Pfad(const char* name) const {
        return ordner.filePath(QString::fromLatin1(name)).toStdString();
    }

    // Bytes arrive and are handled.
    bool Empfangen(const std::string& bytes) {
        const int vorher = chunks;
        Geraet->InjectReceived(bytes);
        return WartenBis([&] { return chunks > vorher && Geraet->QueuedCount() == 0; });
    }

    // The device goes away; true once the measurement noticed.
    bool Abziehen(int fehler) {
        Geraet->HangUp(fehler);
        return WartenBis([&] { return getrennt; });
    }

    QTemporaryDir ordner;
    TProgrammZustand zustand;
    TEinstellungen einstellungen;
    TFakeComDevice* Geraet = nullptr;
    std::unique_ptr<TComPort> port;
    std::unique_ptr<TMessung> messung;
    std::string Log;
    std::string Fehler;
    int chunks = 0;
    bool getrennt = false;

private:
    void Mitschreiben() {
        TMessung* m = messung.get();
        const auto schreiben = [this](const std::string& text) { Log += text + " "; };
        QObject::connect(m, &TMessung::Begonnen, m, [this, schreiben](TLeseModus art) {
            schreiben(std::string("Begonnen:") + Name(art));
        });
        QObject::connect(m, &TMessung::BeginnGescheitert, m, [this, schreiben](TLeseModus art) {
            schreiben(std::string("NichtBegonnen:") + Name(art));
        });
        QObject::connect(m, &TMessung::Beendet, m, [this, schreiben](TLeseModus art) {
            schreiben(std::string("Beendet:") + Name(art));
        });
        QObject::connect(m, &TMessung::SpeichernGeaendert, m, [this, schreiben](TSpeicherArt art) {
            schreiben(std::string("Speichern:") + Name(art));
        });
        QObject::connect(m, &TMessung::NeuerMesswert, m,
                         [this, schreiben](const TMesswert&) { schreiben("Wert"); });
        QObject::connect(m, &TMessung::ChunkVerarbeitet, m,
                         [this](const TChunkErgebnis&) { ++chunks; });
        QObject::connect(m, &TMessung::LeitungGeaendert, m,
                         [this, schreiben](TLeitungsWechsel wechsel, const TLeitungsStand& stand) {
                             const bool wartet = wechsel == TLeitungsWechsel::Verloren;
                             if (wartet || wechsel == TLeitungsWechsel::Aufgegeben) {
                                 getrennt = true;
                                 schreiben("Getrennt:" + std::to_string(stand.Verlustfehler) +
                                           (wartet ? ":wartet" : ""));
                             } else if (wechsel == TLeitungsWechsel::Zurueck) {
                                 schreiben("Zurueck");
                             }
                         });
        QObject::connect(m, &TMessung::Fehler, m, [this](const std::exception_ptr& fehler) {
            Fehler += MeldungsText(fehler) + "\n";
        });
    }
};

struct TAblauf {
    const char* Name;
    TLeseModus Art;
    TSpeicherArt Speichern;
    bool SpeichernVorDemStart; // else once the measurement runs
    bool Verlust;              // the line goes and comes back between two readings
    const char* Erwartet;      // the signals in order
};

class MessungAblauf : public testing::TestWithParam<TAblauf> {};

TEST_P(MessungAblauf, FolgtDenSchrittenUndSpeichertJedenMesswert) {
    const TAblauf& fall = GetParam();
    TMessRig rig;
    const bool speichert = fall.Speichern != TSpeicherArt::Aus;
    if (speichert && fall.SpeichernVorDemStart) {
        rig.messung->SpeichernEin(fall.Speichern);
    }
    rig.messung->Beginnen(fall.Art);
    EXPECT_TRUE(rig.messung->Laeuft());
    if (speichert && !fall.SpeichernVorDemStart) {
        rig.messung->SpeichernEin(fall.Speichern);
    }
    EXPECT_EQ(rig.messung->Speichern(), fall.Speichern);
    ASSERT_TRUE(rig.Empfangen(Ph7));
    if (fall.Verlust) {
        ASSERT_TRUE(rig.Abziehen(EIO));
        EXPECT_TRUE(rig.messung->WartetAufGeraet());
        EXPECT_TRUE(rig.messung->Laeuft());
        EXPECT_EQ(rig.messung->Leitung().WarteGrund, "Verbindung unterbrochen");
        rig.messung->WiederverbindenVersuchen();
        ASSERT_FALSE(rig.messung->WartetAufGeraet());
        EXPECT_EQ(rig.messung->Leitung().Unterbrechungen, 1);
    }
    ASSERT_TRUE(rig.Empfangen(Ph7));
    rig.messung->Beenden();
    EXPECT_FALSE(rig.messung->Laeuft());
    EXPECT_EQ(rig.messung->Modus(), lmKeiner);
    rig.messung->SpeichernAus();
    EXPECT_EQ(rig.messung->Speichern(), TSpeicherArt::Aus);
    EXPECT_EQ(rig.Log, fall.Erwartet);
    EXPECT_EQ(rig.Fehler, "");
    // Both readings of a meter measurement reach the data file, the loss between them or not.
    const std::string datei = Lesen(rig.Pfad("daten.txt"));
    const bool zweiZeilen = speichert && fall.Art == lmWTW;
    EXPECT_EQ(datei.find("  7,00\tpH") != std::string::npos, zweiZeilen) << datei;
    EXPECT_EQ(datei.rfind("  7,00\tpH") != datei.find("  7,00\tpH"), zweiZeilen) << datei;
}

INSTANTIATE_TEST_SUITE_P(
    Ablaeufe, MessungAblauf,
    testing::Values(
        TAblauf{"RS232OhneSpeichern", lmRS232, TSpeicherArt::Aus, false, false,
                "Begonnen:RS232 Beendet:RS232 "},
        TAblauf{"WTWSofortVorDemStart", lmWTW, TSpeicherArt::Sofort, true, false,
                "Speichern:Sofort Begonnen:WTW Wert Wert Beendet:WTW Speichern:Aus "},
        TAblauf{"WTWAutoWaehrend", lmWTW, TSpeicherArt::Auto, false, false,
                "Begonnen:WTW Speichern:Auto Wert Wert Beendet:WTW Speichern:Aus "},
        TAblauf{"WTWSofortMitVerlust", lmWTW, TSpeicherArt::Sofort, false, true,
                "Begonnen:WTW Speichern:Sofort Wert Getrennt:5:wartet Zurueck Wert Beendet:WTW "
                "Speichern:Aus "},
        TAblauf{"WTWAutoMitVerlust", lmWTW, TSpeicherArt::Auto, true, true,
                "Speichern:Auto Begonnen:WTW Wert Getrennt:5:wartet Zurueck Wert Beendet:WTW "
                "Speichern:Aus "},
        TAblauf{"RS232MitVerlust", lmRS232, TSpeicherArt::Sofort, true, true,
                "Speichern:Sofort Begonnen:RS232 Getrennt:5:wartet Zurueck Beendet:RS232 "
                "Speichern:Aus "}),
    [](const testing::TestParamInfo<TAblauf>& fall) { return std::string(fall.param.Name); });

// A measurement that waits ends without its device: the wait ends with it.
TEST(Messung, EndeWaehrendDesWartensBeendetDasWarten) {
    TMessRig rig;
    rig.messung->Beginnen(lmWTW);
    ASSERT_TRUE(rig.Abziehen(ENXIO));
    rig.messung->Beenden();
    EXPECT_FALSE(rig.messung->WartetAufGeraet());
    EXPECT_FALSE(rig.messung->Laeuft());
    EXPECT_EQ(rig.Log, "Begonnen:WTW Getrennt:6:wartet Beendet:WTW ");
}

// --wait: a device absent at the start is waited for; the measurement runs meanwhile.
TEST(Messung, EinFehlendesGeraetWirdAufWunschVonAnfangAnAbgewartet) {
    TMessRig rig;
    rig.Geraet->FailWith(TFakeOp::Open, ENOENT);
    rig.messung->Beginnen(lmWTW, false, true);
    EXPECT_TRUE(rig.messung->WartetAufGeraet());
    EXPECT_EQ(rig.messung->Leitung().WarteGrund, "Gerät nicht vorhanden");
    EXPECT_EQ(rig.messung->Leitung().Unterbrechungen, 0);
    rig.Geraet->FailWith(TFakeOp::Open, 0);
    rig.messung->WiederverbindenVersuchen();
    EXPECT_FALSE(rig.messung->WartetAufGeraet());
    ASSERT_TRUE(rig.Empfangen(Ph7));
    EXPECT_EQ(rig.Log, "Begonnen:WTW Zurueck Wert ");
}

// Each step that can fail says so in German, names what it is about and leaves a state the next
// step can start from.
// Sample, operator and electrode: a change is told once with its reason, the same value again
// is no change, and the chart of a meter measurement marks each sample from its start on.
TEST(MessungAngaben, JederWechselWirdGemeldetUndProbenMarkiert) {
    TMessRig rig;
    TVerlauf verlauf;
    rig.zustand.Verlauf = &verlauf;
    TMessung& messung = *rig.messung;
    std::vector<std::string> wechsel;
    QObject::connect(
        &messung, &TMessung::AngabeGeaendert,
        [&](TAngabe angabe, const QString& alt, const QString& neu, const QString& grund) {
            wechsel.push_back(std::string(AngabeName(angabe)) + ":" + alt.toStdString() + ">" +
                              neu.toStdString() + ":" + grund.toStdString());
        });
    EXPECT_EQ(messung.Angaben().Bediener, AnmeldeName());
    messung.AngabeSetzen(TAngabe::Probe, "P1");
    messung.AngabeSetzen(TAngabe::Probe, "P1");
    EXPECT_TRUE(verlauf.ProbenMarken().empty()) << "no measurement runs";
    messung.Beginnen(lmWTW);
    messung.AngabeSetzen(TAngabe::Elektrode, "E7");
    messung.AngabeSetzen(TAngabe::Probe, "P2", "neue Charge");
    EXPECT_EQ(wechsel, (std::vector<std::string>{
                           "Probe:>P1:", "Elektrode:>E7:", "Probe:P1>P2:neue Charge"}));
    ASSERT_EQ(verlauf.ProbenMarken().size(), 2U);
    EXPECT_EQ(verlauf.ProbenMarken()[0].Text, "P1");
    EXPECT_EQ(verlauf.ProbenMarken()[1].Text, "P2");
    EXPECT_EQ(verlauf.ProbenMarken()[1].UtcMs, messung.Jetzt().UtcMs);
    messung.Beenden();
}

TEST(MessungFehler, EinePortOeffnungDieScheitertNenntGeraetUndGrund) {
    TMessRig rig;
    rig.Geraet->FailWith(TFakeOp::Open, EACCES);
    try {
        rig.messung->Beginnen(lmWTW);
        FAIL() << "no error";
    } catch (const EMeldung& meldung) {
        EXPECT_STREQ(meldung.what(),
                     "Die Schnittstelle /dev/ttyFAKE0 lässt sich nicht öffnen: keine "
                     "Zugriffsrechte.");
        EXPECT_EQ(meldung.Bezug().Geraet, "/dev/ttyFAKE0");
        EXPECT_EQ(meldung.Bezug().Systemfehler, EACCES);
        // The window shows the serial component's own text.
        EXPECT_THROW(std::rethrow_exception(meldung.Komponente()), EComPort);
    }
    // The start is undone.
    EXPECT_EQ(rig.Log, "NichtBegonnen:WTW ");
    EXPECT_FALSE(rig.messung->Laeuft());
    EXPECT_EQ(rig.messung->Modus(), lmKeiner);
}

TEST(MessungFehler, EineDateiDieSichNichtOeffnenLaesstLaesstDasSpeichernAus) {
    TMessRig rig;
    rig.zustand.Konfiguration.Ausgabedatei = rig.Pfad("fehlt/daten.txt");
    EXPECT_THROW(rig.messung->SpeichernEin(TSpeicherArt::Sofort), EMeldung);
    EXPECT_EQ(rig.messung->Speichern(), TSpeicherArt::Aus);
    EXPECT_EQ(rig.Log, "");
}

TEST(MessungFehler, EineAufzeichnungDieNichtBeginntHaeltNurWoSieNoetigIst) {
    for (const bool noetig : {false, true}) {
        TMessRig rig;
        rig.messung->AufzeichnungsDateiSetzen(rig.Pfad("fehlt/daten.roh"));
        if (noetig) {
            EXPECT_THROW(rig.messung->Beginnen(lmWTW, true), EMeldung);
            EXPECT_EQ(rig.Fehler, "");
        } else {
            rig.messung->Beginnen(lmWTW);
            EXPECT_NE(rig.Fehler.find("Rohdaten werden nicht mehr aufgezeichnet"),
                      std::string::npos)
                << rig.Fehler;
            EXPECT_TRUE(rig.messung->Laeuft());
        }
    }
}

TEST(MessungFehler, EinVerlustOhneWiederverbindenWirdGemeldet) {
    TMessRig rig;
    rig.einstellungen.AutomatischWiederverbinden = false;
    rig.messung->Beginnen(lmWTW);
    ASSERT_TRUE(rig.Abziehen(EIO));
    EXPECT_FALSE(rig.messung->WartetAufGeraet());
    EXPECT_EQ(rig.Log, "Begonnen:WTW Getrennt:5 ");
    EXPECT_EQ(rig.Fehler, "Die Verbindung zu /dev/ttyFAKE0 ist verloren (Verbindung "
                          "unterbrochen).\n");
}

} // namespace
