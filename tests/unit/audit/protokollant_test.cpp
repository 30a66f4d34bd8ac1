// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The audit trail of a scripted measurement on the fake device: the listener writes the
// measurement's events in order, and the data file it saved checks out against the chain.
#include "Ereignisse.h"
#include "TestOrdner.h"
#include "Warten.h"

#include "audit/Protokoll.h"
#include "audit/Protokollant.h"
#include "audit/Protokollzeile.h"
#include "audit/Pruefen.h"
#include "framework/Meldung.h"
#include "measurement/Messung.h"
#include "measurement/Vorlauf.h"
#include "serial/ComPort.h"
#include "serial/platform/FakeComDevice.h"
#include "storage/DateiAufrufe.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};
const std::string Ph7 = " 7.00 pH   25.0 \xF8"
                        "C\r\n";

// A measurement on the fake device that saves into daten.txt in a folder of its own.
struct TAufbau {
    explicit TAufbau(const TEinstellungen& e = {})
        : einstellungen(e) {
        AnfangszustandSetzen(zustand, Jetzt);
        zustand.Konfiguration.AutoDateiname = false;
        zustand.Konfiguration.Ausgabedatei = ordner.Datei("daten.txt");
        port.SetPort("/dev/ttyFAKE0");
    }

    TTestOrdner ordner;
    TProgrammZustand zustand;
    TEinstellungen einstellungen;
    TFakeComDevice* fake = new TFakeComDevice; // the port owns it
    TComPort port{std::unique_ptr<TComDevice>(fake)};
    TMessung messung{zustand, port, einstellungen, FesteUhr(Jetzt, 3600)};
};

TEST(Protokollant, SchreibtDieEreignisseEinerMessungInIhrerFolge) {
    TAufbau a;
    TProgrammZustand& zustand = a.zustand;
    TFakeComDevice* fake = a.fake;
    TMessung& messung = a.messung;
    TProtokoll protokoll([&] { return zustand.Konfiguration.Ausgabedatei; }, FesteUhr(Jetzt, 3600),
                         {"laborant", "bank1"});
    TProtokollant protokollant(messung, protokoll);
    std::string fehler;
    QObject::connect(&protokollant, &TProtokollant::Fehler,
                     [&](const std::exception_ptr& f) { fehler += MeldungsText(f); });
    // Stands in for the data-file writer's hook: every line written reaches the trail.
    std::size_t gelesen = 0;
    int werte = 0;
    QObject::connect(&messung, &TMessung::NeuerMesswert, [&](const TMesswert&) {
        const std::string inhalt = DateiLesen(zustand.Konfiguration.Ausgabedatei);
        protokoll.DatenGeschrieben(std::string_view(inhalt).substr(gelesen));
        gelesen = inhalt.size();
        ++werte;
    });
    bool getrennt = false;
    QObject::connect(&messung, &TMessung::LeitungGeaendert, [&](TLeitungsWechsel wechsel) {
        getrennt = getrennt || wechsel == TLeitungsWechsel::Verloren ||
                   wechsel == TLeitungsWechsel::Aufgegeben;
    });

    protokoll.ProgrammStart("0.1.0");
    messung.SpeichernEin(TSpeicherArt::Sofort);
    messung.Beginnen(lmWTW);
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 1; }));
    fake->HangUp(EIO);
    ASSERT_TRUE(WartenBis([&] { return getrennt; }));
    messung.WiederverbindenVersuchen();
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 2; }));
    messung.Beenden();
    messung.SpeichernAus();
    protokoll.ProgrammEnde();

    const std::string trail = DateiLesen(protokoll.Pfad());
    std::string ereignisse;
    for (const std::string_view zeile : ZeilenTeilen(trail)) {
        const auto eintrag = ProtokollZeileLesen(zeile.substr(0, zeile.size() - 1));
        ASSERT_TRUE(eintrag) << zeile;
        ereignisse += eintrag->Ereignis + ": " + eintrag->Details + "\n";
    }
    const std::string datei = zustand.Konfiguration.Ausgabedatei;
    EXPECT_EQ(ereignisse, "Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
                          "Programmstart: Quorlits 0.1.0\n"
                          "Speichern ein: sofort in " +
                              datei +
                              "\n"
                              "Messbeginn: WTW an /dev/ttyFAKE0\n"
                              "Leitung verloren: errno 5, Messung wartet auf das Gerät\n"
                              "Leitung zurück: /dev/ttyFAKE0\n"
                              "Messende: WTW\n"
                              "Speichern aus: " +
                              datei +
                              "\n"
                              "Programmende: \n");
    EXPECT_EQ(fehler, "");
    const TPruefung pruefung = DatendateiPruefen(DateiLesen(datei), trail);
    EXPECT_EQ(PruefText(pruefung), "unverändert: 3 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
}

// The logger's wiring: the trail follows the data file opened, the file's own writes feed the
// chain (also after the file was deleted and made anew, which the trail records as a break),
// sample changes are events, and every line carries the sample of its time.
TEST(Protokollant, DieDatendateiSpeistDieKette) {
    TEinstellungen einstellungen;
    einstellungen.AngabenInDatei = true;
    TAufbau a(einstellungen);
    TProgrammZustand& zustand = a.zustand;
    TFakeComDevice* fake = a.fake;
    TMessung& messung = a.messung;
    std::int64_t mono = 0;
    zustand.Speicher.Datendatei.UmgebungSetzen({&EchteDateiAufrufe(), [&] { return mono; }, {}});
    const TSpeicherZustand& speicher = zustand.Speicher;
    TProtokoll protokoll([&] { return speicher.Datendatei.LetzteDatei(); }, FesteUhr(Jetzt, 3600),
                         {"laborant", "bank1"});
    TProtokollant protokollant(messung, protokoll);
    protokollant.DatendateiVerbinden(zustand.Speicher.Datendatei);
    int werte = 0;
    QObject::connect(&messung, &TMessung::NeuerMesswert, [&](const TMesswert&) { ++werte; });

    protokollant.ProgrammStart("0.1.0");
    messung.AngabeSetzen(TAngabe::Probe, "P1");
    messung.AngabeSetzen(TAngabe::Bediener, "Meier");
    messung.Beginnen(lmWTW);
    messung.SpeichernEin(TSpeicherArt::Sofort);
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 1; }));
    messung.AngabeSetzen(TAngabe::Probe, "P2", "neue Charge");
    const std::string kettenwert = protokoll.KettenKopf();
    std::filesystem::remove(zustand.Konfiguration.Ausgabedatei);
    mono += 1'000'000'000;
    fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 2; }));
    messung.Beenden();
    messung.SpeichernAus();
    protokollant.ProgrammEnde();

    const std::string datei = zustand.Konfiguration.Ausgabedatei;
    EXPECT_EQ(Ereignisse(protokoll.Pfad()),
              "Kette begonnen: 0 Zeilen der Datendatei übernommen\n"
              "Programmstart: Quorlits 0.1.0\n"
              "Probe:  → P1\n"
              "Bediener: " +
                  AnmeldeName() +
                  " → Meier\n"
                  "Messbeginn: WTW an /dev/ttyFAKE0\n"
                  "Speichern ein: sofort in " +
                  datei +
                  "\n"
                  "Probe: P1 → P2 (Grund: neue Charge)\n"
                  "Kette unterbrochen ab Zeile 1: die Datendatei passt nicht mehr zum Protokoll "
                  "(fehlt: in Zeilen 1–2 der Datendatei fehlen Zeilen der Kette (bis "
                  "Protokollzeile 7) (die Kette umfasst 2 Zeilen, die Datei hat 0)); Kette bis " +
                  kettenwert +
                  "; 0 Zeilen der Datendatei übernommen\n"
                  "Fehler: Datendatei „" +
                  datei +
                  "“ ist gelöscht, verschoben oder ersetzt worden; sie ist neu angelegt, alles "
                  "Weitere geht dort hinein.\n"
                  "Messende: WTW\n"
                  "Speichern aus: " +
                  datei +
                  "\n"
                  "Programmende: \n");
    const std::string inhalt = DateiLesen(datei);
    EXPECT_EQ(inhalt, "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\tProbe\tBediener\t"
                      "Elektrode\r\n"
                      "06.12.2026\t16:53:34\t  7,00\tpH\t 25,00\t\xB0"
                      "C\tP2\tMeier\t\r\n");
    // The file found under the name now is not the one the chain covered.
    EXPECT_EQ(PruefText(DatendateiPruefen(inhalt, DateiLesen(protokoll.Pfad()))),
              "geändert: Zeilen 1–2 der Datendatei oder Protokollzeile 7 passt nicht zur Kette");
}

// Automatic names: each start of saving opens a new data file, and each file gets a trail of its
// own that checks out; what happens after saving ended goes to the trail of the file last saved.
TEST(Protokollant, JedeDatendateiHatIhrProtokoll) {
    TAufbau a;
    a.zustand.Konfiguration.AutoDateiname = true;
    const TSpeicherZustand& speicher = a.zustand.Speicher;
    TProtokoll protokoll([&] { return speicher.Datendatei.LetzteDatei(); }, FesteUhr(Jetzt, 3600),
                         {"laborant", "bank1"});
    TProtokollant protokollant(a.messung, protokoll);
    protokollant.DatendateiVerbinden(a.zustand.Speicher.Datendatei);
    int werte = 0;
    QObject::connect(&a.messung, &TMessung::NeuerMesswert, [&](const TMesswert&) { ++werte; });
    a.messung.Beginnen(lmWTW);
    std::vector<std::string> dateien;
    for (int lauf = 1; lauf <= 2; ++lauf) {
        a.messung.SpeichernEin(TSpeicherArt::Sofort);
        dateien.push_back(speicher.Datendatei.Pfad());
        a.fake->InjectReceived(Ph7 + Ph7);
        ASSERT_TRUE(WartenBis([&] { return werte == 2 * lauf; }));
        a.messung.SpeichernAus();
    }
    a.messung.Beenden();
    ASSERT_EQ(dateien, (std::vector<std::string>{a.ordner.Datei("06122026.000"),
                                                 a.ordner.Datei("06122026.001")}));
    for (const std::string& datei : dateien) {
        EXPECT_EQ(PruefText(DatendateiPruefen(DateiLesen(datei), DateiLesen(ProtokollPfad(datei)))),
                  "unverändert: 3 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
    }
    EXPECT_TRUE(Ereignisse(ProtokollPfad(dateien[1])).ends_with("Messende: WTW\n"));
}

// Saving that overwrites its file: the trail of the old content is kept beside it and the
// emptied file begins a trail of its own that checks out, with no break.
TEST(Protokollant, EineUeberschriebeneDateiBeginntEinNeuesProtokoll) {
    TAufbau a;
    a.zustand.Konfiguration.Ueberschreiben = true;
    const std::string datei = a.zustand.Konfiguration.Ausgabedatei;
    TProtokoll protokoll([&] { return a.zustand.Speicher.Datendatei.LetzteDatei(); },
                         FesteUhr(Jetzt, 3600), {"laborant", "bank1"});
    TProtokollant protokollant(a.messung, protokoll);
    protokollant.DatendateiVerbinden(a.zustand.Speicher.Datendatei);
    int werte = 0;
    QObject::connect(&a.messung, &TMessung::NeuerMesswert, [&](const TMesswert&) { ++werte; });
    a.messung.Beginnen(lmWTW);
    for (int lauf = 1; lauf <= 2; ++lauf) {
        a.messung.SpeichernEin(TSpeicherArt::Sofort);
        a.fake->InjectReceived(Ph7);
        ASSERT_TRUE(WartenBis([&] { return werte == lauf; }));
        a.messung.SpeichernAus();
    }
    a.messung.Beenden();
    EXPECT_TRUE(Ereignisse(ProtokollPfad(datei))
                    .starts_with("Kette begonnen: 0 Zeilen der Datendatei übernommen; die Datei "
                                 "wurde überschrieben, das bisherige Protokoll ist " +
                                 ProtokollPfad(datei) + ".1; Kette bis "));
    EXPECT_EQ(PruefText(DatendateiPruefen(DateiLesen(datei), DateiLesen(ProtokollPfad(datei)))),
              "unverändert: 2 Zeilen, Kette bis 2026-12-06T16:53:34+01:00");
    EXPECT_TRUE(
        Ereignisse(ProtokollPfad(datei) + ".1").ends_with("Speichern aus: " + datei + "\n"));
}

// A trail that cannot be written is told once, not with every event, and stops nothing.
TEST(Protokollant, EinUnschreibbaresProtokollWirdEinmalGemeldet) {
    TAufbau a;
    const std::string datei = a.zustand.Konfiguration.Ausgabedatei;
    std::filesystem::create_directory(ProtokollPfad(datei));
    TMessung& messung = a.messung;
    TProtokoll protokoll([&] { return datei; }, FesteUhr(Jetzt, 3600), {"laborant", "bank1"});
    TProtokollant protokollant(messung, protokoll);
    std::vector<std::string> fehler;
    QObject::connect(&protokollant, &TProtokollant::Fehler,
                     [&](const std::exception_ptr& f) { fehler.push_back(MeldungsText(f)); });
    protokollant.ProgrammStart("0.1.0");
    messung.AngabeSetzen(TAngabe::Probe, "P1");
    protokollant.ProgrammEnde();
    ASSERT_EQ(fehler.size(), 1U);
    EXPECT_EQ(fehler[0], "Das Prüfprotokoll " + ProtokollPfad(datei) +
                             " lässt sich nicht schreiben (Ungültiger Dateiname (Ist ein "
                             "Verzeichnis)). Messung und Speichern laufen weiter.");
}

// Writes and syncs in their order: "D" a write of the data file, "d" its sync, "P" a line of
// the trail, "V" the outbox brought onto the disk.
class TReihenfolge : public TEchteDateiAufrufe, public TVorlauf {
public:
    ssize_t Write(int fd, const void* daten, std::size_t anzahl) override {
        Merken(fd, "D", "P");
        return TEchteDateiAufrufe::Write(fd, daten, anzahl);
    }
    int Fdatasync(int fd) override {
        Merken(fd, "d", "p");
        return TEchteDateiAufrufe::Fdatasync(fd);
    }
    void VorDerZeile(const TMesswert&, std::optional<std::int64_t>) override {}
    void VorDemSichern() override { folge += "V"; }

    std::string folge;

private:
    void Merken(int fd, const char* daten, const char* protokoll) {
        const std::string pfad =
            std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd));
        folge += pfad.ends_with(".protokoll") ? protokoll : daten;
    }
};

// A line of the trail that covers data lines is written only after they are synced, the outbox
// before them: a power cut never leaves a trail ahead of its data file.
TEST(Protokollant, DasProtokollFolgtDerGesichertenDatendatei) {
    TReihenfolge reihenfolge; // outlives the data file that calls it
    TAufbau a;
    std::int64_t mono = 0;
    a.zustand.Speicher.Datendatei.UmgebungSetzen({&reihenfolge, [&] { return mono; }, {}});
    a.messung.VorlaufSetzen(&reihenfolge);
    TProtokoll protokoll([&] { return a.zustand.Speicher.Datendatei.LetzteDatei(); },
                         FesteUhr(Jetzt, 3600), {"laborant", "bank1"});
    protokoll.AufrufeSetzen(reihenfolge);
    TProtokollant protokollant(a.messung, protokoll);
    protokollant.DatendateiVerbinden(a.zustand.Speicher.Datendatei);
    int werte = 0;
    QObject::connect(&a.messung, &TMessung::NeuerMesswert, [&](const TMesswert&) { ++werte; });
    a.messung.Beginnen(lmWTW);
    a.messung.SpeichernEin(TSpeicherArt::Sofort);
    a.fake->InjectReceived(Ph7);
    ASSERT_TRUE(WartenBis([&] { return werte == 1; }));
    a.messung.AngabeSetzen(TAngabe::Probe, "P2");
    a.messung.VorlaufSetzen(nullptr);
    // The trail's lines before the data: start of the chain, start of the measurement, saving on;
    // then the data line, the outbox and the data file synced, and only then the sample's line.
    EXPECT_EQ(reihenfolge.folge, "PpPpPpDVdPp");
}

} // namespace
