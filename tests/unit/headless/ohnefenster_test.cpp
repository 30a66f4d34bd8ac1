// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The run without a window in-process: a scripted device and a fixed clock, so the data file,
// the readings on standard output and the capture are known to the byte.
#include "Warten.h"

#include "app/Einstellungen.h"
#include "headless/OhneFenster.h"
#include "serial/platform/FakeComDevice.h"
#include "storage/RohdatenLeser.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const TZeitpunkt Jetzt{6, 12, 2026, 16, 53, 34};
constexpr std::int32_t Versatz = 3600;

std::string Lesen(const std::string& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
}

// A memory stream in place of standard output or error.
class TStrom {
public:
    TStrom()
        : datei_(open_memstream(&puffer_, &laenge_)) {}
    ~TStrom() {
        std::fclose(datei_);
        std::free(puffer_);
    }
    TStrom(const TStrom&) = delete;
    TStrom& operator=(const TStrom&) = delete;
    std::FILE* Datei() const { return datei_; }
    std::string Text() {
        std::fflush(datei_);
        return {puffer_, laenge_};
    }

private:
    char* puffer_ = nullptr;
    std::size_t laenge_ = 0;
    std::FILE* datei_;
};

class OhneFensterTest : public testing::Test {
protected:
    // A run on the fake device; quorlits.conf says whether a lost line is waited for.
    std::unique_ptr<TOhneFenster> Lauf(bool wiederverbinden, const std::string& aufzeichnung) {
        TEinstellungen einstellungen;
        einstellungen.AutomatischWiederverbinden = wiederverbinden;
        const std::string konf = ordner_.filePath(QStringLiteral("PHRX.CFG")).toStdString();
        EinstellungenSchreiben(EinstellungenPfad(konf), einstellungen);
        TOhneFensterOptionen optionen;
        optionen.Port = "/dev/ttyFAKE0";
        optionen.Datendatei = Pfad("daten.txt");
        optionen.Aufzeichnung = aufzeichnung;
        optionen.KonfigurationsDatei = konf;
        auto geraet = std::make_unique<TFakeComDevice>();
        geraet_ = geraet.get();
        optionen.Geraet = std::move(geraet);
        optionen.Uhr = FesteUhr(Jetzt, Versatz);
        optionen.Ausgabe = ausgabe_.Datei();
        optionen.Meldungen = meldungen_.Datei();
        return std::make_unique<TOhneFenster>(std::move(optionen));
    }
    std::string Pfad(const char* name) const {
        return ordner_.filePath(QString::fromLatin1(name)).toStdString();
    }

    QTemporaryDir ordner_;
    TFakeComDevice* geraet_ = nullptr;
    TStrom ausgabe_;
    TStrom meldungen_;
};

TEST_F(OhneFensterTest, SpeichertZeigtUndZeichnetJedenMesswertAuf) {
    const auto lauf = Lauf(true, Pfad("daten.roh"));
    ASSERT_EQ(lauf->Starten(), 0) << meldungen_.Text();
    EXPECT_EQ(geraet_->LastDCB().BaudRate, 4800U);
    // The second reading comes in two chunks; the third is cut by the end of the run.
    geraet_->InjectReceived(" 7.01 pH   24.8 \xF8"
                            "C\r\n 1413 \xE6S/cm 25.0 \xF8");
    ASSERT_TRUE(WartenBis([&] { return lauf->Zustand().Memo.Text.size() >= 20; }));
    geraet_->InjectReceived("C\r\n 7.02 p");
    ASSERT_TRUE(WartenBis([&] { return ausgabe_.Text().size() > 50; })) << ausgabe_.Text();
    EXPECT_EQ(lauf->Beenden(), 0);

    EXPECT_EQ(Lesen(Pfad("daten.txt")), "PC-Datum\tPC-Zeit\tWert\tEinheit\tTemp.\tEinheit\r\n"
                                        "06.12.2026\t16:53:34\t  7,01\tpH\t 24,80\t\xB0"
                                        "C\r\n"
                                        "06.12.2026\t16:53:34\t1413,00\t\xB5S/cm\t 25,00\t\xB0"
                                        "C\r\n");
    EXPECT_EQ(ausgabe_.Text(), "06.12.2026\t16:53:34\t  7,01\tpH\t 24,80\t°C\n"
                               "06.12.2026\t16:53:34\t1413,00\tµS/cm\t 25,00\t°C\n");

    TRohLeser leser(Pfad("daten.roh"));
    EXPECT_EQ(leser.Kopf().Anschluss, "/dev/ttyFAKE0");
    std::vector<TRohArt> arten;
    std::string empfangen;
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
        arten.push_back(eintrag.Art);
        EXPECT_EQ(eintrag.UtcMs, UhrzeitAusLokal(Jetzt, Versatz).UtcMs);
        EXPECT_EQ(eintrag.UtcVersatz, Versatz);
        if (eintrag.Art == TRohArt::Empfangen) {
            empfangen += eintrag.Daten;
        }
    }
    EXPECT_FALSE(leser.Abgeschnitten());
    EXPECT_EQ(empfangen, " 7.01 pH   24.8 \xF8"
                         "C\r\n 1413 \xE6S/cm 25.0 \xF8"
                         "C\r\n 7.02 p");
    ASSERT_GE(arten.size(), 8U);
    const std::vector<TRohArt> anfang(arten.begin(), arten.begin() + 3);
    const std::vector<TRohArt> ende(arten.end() - 3, arten.end());
    EXPECT_EQ(anfang,
              (std::vector{TRohArt::MessungBeginn, TRohArt::Geoeffnet, TRohArt::SpeichernEin}));
    EXPECT_EQ(ende,
              (std::vector{TRohArt::SpeichernAus, TRohArt::Geschlossen, TRohArt::MessungEnde}));
}

TEST_F(OhneFensterTest, EineVerloreneLeitungOhneWiederverbindenEndetMitEins) {
    const auto lauf = Lauf(false, {});
    int ende = -1;
    lauf->BeiEnde = [&ende](int code) { ende = code; };
    ASSERT_EQ(lauf->Starten(), 0) << meldungen_.Text();
    geraet_->InjectReceived(" 7.01 pH   24.8 \xF8"
                            "C\r\n");
    ASSERT_TRUE(WartenBis([&] { return !ausgabe_.Text().empty(); }));
    geraet_->HangUp(EIO);
    ASSERT_TRUE(WartenBis([&] { return ende != -1; })) << meldungen_.Text();
    EXPECT_EQ(ende, 1);
    EXPECT_NE(meldungen_.Text().find("ist verloren (Verbindung unterbrochen)"), std::string::npos)
        << meldungen_.Text();
    EXPECT_TRUE(Lesen(Pfad("daten.txt")).ends_with("\r\n"));
}

TEST_F(OhneFensterTest, EineVerloreneLeitungWirdAbgewartet) {
    const auto lauf = Lauf(true, {});
    ASSERT_EQ(lauf->Starten(), 0) << meldungen_.Text();
    geraet_->HangUp(EIO);
    ASSERT_TRUE(WartenBis([&] { return lauf->WartetAufGeraet(); })) << meldungen_.Text();
    EXPECT_NE(meldungen_.Text().find("es wird auf das Gerät gewartet"), std::string::npos);
    EXPECT_EQ(lauf->Beenden(), 0);
}

} // namespace
