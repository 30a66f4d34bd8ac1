// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "DateiGroessenGrenze.h"
#include "HauptfensterRig.h"
#include "WidgetTest.h"
#include "Zeitzone.h"

#include "framework/widgets/SpeedButton.h"
#include "reception/Abspielen.h"
#include "serial/ComPort.h"
#include "storage/PCZeit.h"
#include "storage/RohdatenLeser.h"
#include "tests/unit/acquisition/Geraetetext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The raw-data capture of the main window's measurements: what it holds, where it goes, that its
// failure costs no reading, and that its replay writes the data file the window wrote.
namespace {

const std::string Ph7 = Geraetetext(" 7.01 pH   25.0 °C{CR}{LF}");
const std::string Ph4 = Geraetetext(" 4.00 pH   24.5 °C{CR}{LF}");

// A clock that goes on by one second at every reading, in the process's time zone; so a record
// shows which reading stamped it.
TUhr TickendeUhr() {
    auto sekunden = std::make_shared<std::atomic<std::int64_t>>(0);
    const std::int64_t anfang = UhrzeitAusLokal(THauptfensterRig::Uhrzeit(), 3600).UtcMs;
    return [sekunden, anfang] { return UhrzeitAusUtc(anfang + 1000 * (*sekunden)++); };
}

std::vector<TRohEintrag> Eintraege(const std::string& pfad, TRohKopf* kopf = nullptr) {
    TRohLeser leser(pfad);
    if (kopf != nullptr) {
        *kopf = leser.Kopf();
    }
    std::vector<TRohEintrag> eintraege;
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
        eintraege.push_back(eintrag);
    }
    return eintraege;
}

std::vector<TRohArt> Arten(const std::vector<TRohEintrag>& eintraege) {
    std::vector<TRohArt> arten;
    for (const TRohEintrag& e : eintraege) {
        arten.push_back(e.Art);
    }
    return arten;
}

// The PC time field of each line of a data file after its header.
QStringList Zeitfelder(const std::string& datei) {
    QStringList felder;
    const QStringList zeilen = QString::fromLatin1(DateiLesen(datei)).split(QStringLiteral("\r\n"));
    for (qsizetype i = 1; i < zeilen.size(); ++i) {
        if (!zeilen[i].isEmpty()) {
            felder << zeilen[i].section(QLatin1Char('\t'), 1, 1);
        }
    }
    return felder;
}

QString Zeit(const TRohEintrag& e) {
    return QString::fromStdString(PCZeitText(UhrzeitAusVersatz(e.UtcMs, e.UtcVersatz).Lokal));
}

void FesteDatei(TForm1& f, const std::string& datei) {
    f.Zustand.Konfiguration.AutoDateiname = false;
    f.Zustand.Konfiguration.Ueberschreiben = false;
    f.Zustand.Konfiguration.Ausgabedatei = datei;
}

// One chunk, handled; without waiting for the display, which shows close chunks together.
bool Stueck(THauptfensterRig& rig, const std::string& bytes) {
    rig.Geraet->InjectReceived(bytes);
    return QTest::qWaitFor([&rig] { return rig.Geraet->QueuedCount() == 0; }, 5000);
}

// Capture on, saving into Daten.txt of the rig's folder, appended.
TForm1& Aufzeichnend(THauptfensterRig& rig) {
    TForm1& f = *rig.Form;
    f.Einstellungen.RohdatenAufzeichnen = true;
    FesteDatei(f, rig.Ordner.Datei("Daten.txt"));
    return f;
}

} // namespace

class TRohaufzeichnungTest : public QObject {
    Q_OBJECT

private slots:
    // Every chunk as it came, with the clock reading that stamped its readings, between the
    // events of the measurement and the saving.
    void chunksUndEreignisseInIhrerFolge() {
        THauptfensterRig rig(TRigStart{{}, TickendeUhr(), {}});
        TForm1& f = Aufzeichnend(rig);
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        // Records cut across chunks, and bytes that make no reading.
        const std::vector<std::string> chunks = {Ph7.substr(0, 5), Ph7.substr(5) + Ph4.substr(0, 9),
                                                 Ph4.substr(9), "\xFF\r\n", Ph7};
        for (const std::string& chunk : chunks) {
            QVERIFY(rig.Empfangen(chunk));
        }
        f.Edit_Data->setText(QStringLiteral("M"));
        f.Send_Btn->click();
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        QVERIFY(rig.Fehler.isEmpty());

        TRohKopf kopf;
        const auto eintraege = Eintraege(rig.Ordner.Datei("Daten.txt.roh"), &kopf);
        QCOMPARE(kopf.Anschluss, f.ComPort().Port());
        using A = TRohArt;
        QCOMPARE(Arten(eintraege),
                 (std::vector<A>{A::SpeichernEin, A::MessungBeginn, A::Geoeffnet, A::Empfangen,
                                 A::Empfangen, A::Empfangen, A::Empfangen, A::Empfangen,
                                 A::Gesendet, A::SpeichernAus, A::Geschlossen, A::MessungEnde}));
        QCOMPARE(eintraege[1].Daten, std::string("WTW"));
        QVERIFY(eintraege[2].Daten.find("Baud=4800") != std::string::npos);
        QCOMPARE(eintraege[8].Daten, std::string("M\r\n"));
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            QCOMPARE(eintraege[3 + i].Daten, chunks[i]);
        }
        // The readings completed in the second, third and fifth chunk carry their stamps.
        QCOMPARE(Zeitfelder(rig.Ordner.Datei("Daten.txt")),
                 (QStringList{Zeit(eintraege[4]), Zeit(eintraege[5]), Zeit(eintraege[7])}));
        QVERIFY(eintraege[4].UtcMs < eintraege[5].UtcMs);
    }

    // With the setting each measurement gets a file of its own beside the data file, named
    // after the data file its saving makes (also when saving starts after the measurement, the
    // moment an automatic name is made); with --capture all measurements of the run go to one.
    void eineDateiJeMessungOderJeLauf_data() {
        QTest::addColumn<bool>("feste");
        QTest::addColumn<bool>("speichern");
        QTest::addColumn<QStringList>("dateien");
        QTest::newRow("einstellung")
            << false << false << QStringList{"Daten.txt.roh", "Daten.txt-2.roh"};
        QTest::newRow("automatischer Name")
            << false << true << QStringList{"07122026.000.roh", "07122026.000-2.roh"};
        QTest::newRow("--capture") << true << true << QStringList{"lauf.roh"};
    }
    void eineDateiJeMessungOderJeLauf() {
        QFETCH(bool, feste);
        QFETCH(bool, speichern);
        QFETCH(QStringList, dateien);
        TTestOrdner ordner;
        THauptfensterRig rig(TRigStart{{}, {}, feste ? ordner.Datei("lauf.roh") : std::string()});
        TForm1& f = *rig.Form;
        f.Einstellungen.RohdatenAufzeichnen = !feste;
        for (int i = 0; i < 2; ++i) {
            f.WTW_Rx_Button->click();
            if (speichern && i == 0) {
                f.SaveButton->click();
            }
            QVERIFY(rig.Empfangen(Ph7));
            f.WTW_Rx_Button->click();
        }
        QVERIFY(rig.Fehler.isEmpty());
        const TTestOrdner& ort = feste ? ordner : rig.Ordner;
        QStringList gefunden;
        for (const auto& eintrag : std::filesystem::directory_iterator(ort.Pfad())) {
            if (eintrag.path().extension() == ".roh") {
                gefunden << QString::fromStdString(eintrag.path().filename().string());
                // Each file holds its measurements whole, and the saving that ran in them.
                const auto arten = Arten(Eintraege(eintrag.path().string()));
                const auto anzahl = [&arten](TRohArt art) {
                    return std::ranges::count(arten, art);
                };
                QCOMPARE(anzahl(TRohArt::MessungBeginn), feste ? 2 : 1);
                QCOMPARE(anzahl(TRohArt::MessungEnde), feste ? 2 : 1);
                QCOMPARE(anzahl(TRohArt::SpeichernEin), speichern ? 1 : 0);
            }
        }
        gefunden.sort();
        dateien.sort();
        QCOMPARE(gefunden, dateien);
    }

    // A capture that cannot be created or stops being written is reported once, naming its
    // file; the data file still gets every reading.
    void fehlerKostetKeinenMesswert_data() {
        QTest::addColumn<bool>("anlegen");
        QTest::newRow("anlegen") << true;
        QTest::newRow("schreiben") << false;
    }
    void fehlerKostetKeinenMesswert() {
        QFETCH(bool, anlegen);
        TTestOrdner ordner;
        const std::string lauf =
            anlegen ? ordner.Datei("fehlt/lauf.roh") : ordner.Datei("lauf.roh");
        THauptfensterRig rig(TRigStart{{}, {}, lauf});
        TForm1& f = *rig.Form;
        FesteDatei(f, rig.Ordner.Datei("Daten.txt"));
        f.SaveButton->click();
        f.WTW_Rx_Button->click();
        std::unique_ptr<TDateiGroessenGrenze> grenze;
        if (!anlegen) {
            // Room for a few more records of the capture, and for the whole data file.
            grenze = std::make_unique<TDateiGroessenGrenze>(std::filesystem::file_size(lauf) + 150);
        }
        constexpr int Anzahl = 4;
        for (int i = 0; i < Anzahl; ++i) {
            for (std::size_t stelle = 0; stelle < Ph7.size(); stelle += 6) {
                QVERIFY(Stueck(rig, Ph7.substr(stelle, 6)));
            }
        }
        f.WTW_Rx_Button->click();
        THauptfensterRig::Abarbeiten();
        grenze.reset();
        // The audit trail beside the data file is held by the same limit and has a box of its own.
        QVERIFY2(rig.Fehler.filter(QString::fromStdString(lauf)).size() == 1,
                 qPrintable(rig.Fehler.join(QStringLiteral(" | "))));
        QCOMPARE(Zeitfelder(rig.Ordner.Datei("Daten.txt")).size(), Anzahl);
        if (!anlegen) {
            TRohLeser leser(lauf);
            TRohEintrag eintrag;
            while (leser.Naechster(eintrag)) {
            }
            QVERIFY(!leser.Abgeschnitten());
        }
    }

    // A meter measurement saved through the window, with a loss of the line in the middle of a
    // record, replays from its capture into the same bytes, in another time zone too.
    void abspielenGibtDieselbeDatendatei() {
        const TZeitzoneBewahren bewahrt;
        std::string live;
        std::string aufnahme;
        TTestOrdner ordner;
        {
            ZeitzoneSetzen("MEZ-1MESZ,M3.5.0,M10.5.0/3");
            THauptfensterRig rig(TRigStart{{}, TickendeUhr(), {}});
            TForm1& f = Aufzeichnend(rig);
            f.WTW_Rx_Button->click();
            f.SaveButton->click();
            QVERIFY(rig.Empfangen(Ph7 + Ph4.substr(0, 6)));
            QVERIFY(rig.Empfangen(Ph4.substr(6) + Ph7.substr(0, 8)));
            rig.Geraet->FailWith(TFakeOp::Open, ENOENT);
            rig.Geraet->HangUp(EIO);
            QVERIFY(QTest::qWaitFor([&f] { return f.WartetAufGeraet(); }, 10000));
            rig.Geraet->FailWith(TFakeOp::Open, 0);
            f.WiederverbindenVersuchen();
            QVERIFY(f.ComPort().Connected());
            QVERIFY(rig.Empfangen(Ph7.substr(8) + Ph4 + Ph7));
            f.WTW_Rx_Button->click();
            f.SaveButton->click();
            QVERIFY(rig.Fehler.isEmpty());
            live = DateiLesen(rig.Ordner.Datei("Daten.txt"));
            std::filesystem::copy_file(rig.Ordner.Datei("Daten.txt.roh"),
                                       ordner.Datei("aufnahme.roh"));
            aufnahme = ordner.Datei("aufnahme.roh");
        }
        QCOMPARE(QString::fromLatin1(live).count(QStringLiteral("\r\n")), 5);
        ZeitzoneSetzen("XYZ+7");
        TRohLeser leser(aufnahme);
        const TAbspielBericht bericht = AufnahmeAbspielen(leser, ordner.Datei("abgespielt.txt"));
        QCOMPARE(bericht.Datensaetze, std::int64_t{4});
        QCOMPARE(DateiLesen(ordner.Datei("abgespielt.txt")), live);
    }
};

QUORLITS_WIDGET_TEST(TRohaufzeichnungTest)
#include "rohaufzeichnung_test.moc"
