// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Publishing in the window: the dialog "Veröffentlichen" from the program options, the publisher
// it switches on and off, its state line, and its trouble in the error box.
#include "Dienste.h"
#include "HauptfensterRig.h"
#include "ModalerDialog.h"
#include "Warten.h"
#include "WidgetTest.h"

#include "framework/widgets/SpeedButton.h"
#include "mainwindow/PrgOptionenFrm.h"
#include "mainwindow/VeroeffentlichenFrm.h"
#include "publish/Veroeffentlicher.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSysInfo>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string Geschlossen() {
    return "mqtt://127.0.0.1:" + std::to_string(FreierPort());
}

std::string Konf(const std::string& zeilen) {
    return "[Veroeffentlichen]\n" + zeilen;
}

std::unique_ptr<THauptfensterRig> Fenster(const std::string& einstellungen) {
    return std::make_unique<THauptfensterRig>(TRigStart{{}, {}, {}, einstellungen});
}

TVeroeffentlichenEinstellungen Gespeichert(const THauptfensterRig& rig) {
    return VeroeffentlichenLesen(EinstellungenPfad(rig.Konfigurationsdatei()));
}

// "Speicheroptionen", there "Veröffentlichen ...", and `bedienen` on its dialog; the program
// options are then cancelled, which leaves what the publishing dialog took.
bool Oeffnen(TForm1& f, const std::function<void(TVeroeffentlichenForm&)>& bedienen) {
    bool bedient = false;
    TModalerDialog<TPrgOptionenForm> optionen([&](TPrgOptionenForm& d) {
        TModalerDialog<TVeroeffentlichenForm> dialog(bedienen);
        QTest::mouseClick(d.VeroeffentlichenButton, Qt::LeftButton);
        bedient = dialog.Bedient() && !dialog.OffenGelassen();
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
    });
    QTest::mouseClick(f.Option_Btn, Qt::LeftButton);
    return optionen.Bedient() && !optionen.OffenGelassen() && bedient;
}

void Tippen(QLineEdit* feld, const std::string& text) {
    feld->selectAll();
    QTest::keyClick(feld, Qt::Key_Delete);
    QTest::keyClicks(feld, QString::fromStdString(text));
}

QString Zeile(const TForm1& f) {
    return f.VeroeffentlichenZustand->isVisibleTo(&f) ? f.VeroeffentlichenZustand->text()
                                                      : QString();
}

} // namespace

class TVeroeffentlichenTest : public QObject {
    Q_OBJECT

private slots:
    // The fields show quorlits.conf and OK writes them back; switching on makes the publisher
    // and its line, switching off removes both, and Abbrechen changes nothing. A limit that is
    // no whole number of MB survives while its field is left alone.
    void einstellungenHinUndZurueck() {
        const std::string server = Geschlossen();
        auto rig = Fenster("[Messung]\nAutomatischWiederverbinden=false\n" +
                           Konf("Server=" + server +
                                "\nBenutzer=labor\nCaDatei=/etc/ca.pem\nOutboxGrenze=64 KB\n"));
        TForm1& f = *rig->Form;
        QVERIFY(f.Veroeffentlicher() == nullptr);
        QCOMPARE(Zeile(f), QString());
        QVERIFY(Oeffnen(f, [&](TVeroeffentlichenForm& d) {
            QVERIFY(!d.Aktiv->isChecked());
            QCOMPARE(d.Server->text().toStdString(), server);
            QCOMPARE(d.Benutzer->text(), QStringLiteral("labor"));
            QCOMPARE(d.CaDatei->text(), QStringLiteral("/etc/ca.pem"));
            QCOMPARE(d.Arbeitsplatz->placeholderText(), QSysInfo::machineHostName());
            QCOMPARE(d.OutboxGrenze->value(), 1);
            QCOMPARE(d.Zustand->text(), QStringLiteral("Zustand: aus"));
            QTest::mouseClick(d.Aktiv, Qt::LeftButton);
            Tippen(d.Arbeitsplatz, "bank7");
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QVERIFY(f.Veroeffentlicher() != nullptr);
        QCOMPARE(f.Veroeffentlicher()->Arbeitsplatz(), std::string("bank7"));
        QCOMPARE(Zeile(f), QStringLiteral("Veröffentlichen: wartet auf eine Messung"));
        TVeroeffentlichenEinstellungen erwartet;
        erwartet.Aktiv = true;
        erwartet.Server = server;
        erwartet.Benutzer = "labor";
        erwartet.CaDatei = "/etc/ca.pem";
        erwartet.Arbeitsplatz = "bank7";
        erwartet.OutboxGrenze = 64 * 1024;
        QVERIFY(Gespeichert(*rig) == erwartet);
        QVERIFY(!EinstellungenLesen(EinstellungenPfad(rig->Konfigurationsdatei()))
                     .AutomatischWiederverbinden);

        QVERIFY(Oeffnen(f, [](TVeroeffentlichenForm& d) {
            QTest::mouseClick(d.Aktiv, Qt::LeftButton);
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QVERIFY(f.Veroeffentlicher() != nullptr);
        QVERIFY(Gespeichert(*rig) == erwartet);

        QVERIFY(Oeffnen(f, [](TVeroeffentlichenForm& d) {
            QVERIFY(d.Aktiv->isChecked());
            QCOMPARE(d.Arbeitsplatz->text(), QStringLiteral("bank7"));
            QCOMPARE(d.Zustand->text(), QStringLiteral("Zustand: wartet auf eine Messung"));
            QTest::mouseClick(d.Aktiv, Qt::LeftButton);
            d.OutboxGrenze->setValue(5);
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QVERIFY(f.Veroeffentlicher() == nullptr);
        QCOMPARE(Zeile(f), QString());
        erwartet.Aktiv = false;
        erwartet.OutboxGrenze = 5 * 1024 * 1024;
        QVERIFY(Gespeichert(*rig) == erwartet);
        QVERIFY(rig->Fehler.isEmpty());
    }

    // "..." beside the password file chooses a file and puts its path in the
    // field; cancelling the chooser leaves the field as it was.
    void dateiWaehlen() {
        QTemporaryDir ordner;
        const QString datei = ordner.filePath(QStringLiteral(".mqtt-passwort"));
        DateiSchreiben(datei.toStdString(), "geheim\n");
        auto rig = Fenster(Konf("PasswortDatei=" + ordner.filePath("alt").toStdString() + "\n"));
        QVERIFY(Oeffnen(*rig->Form, [&](TVeroeffentlichenForm& d) {
            TModalerDialog<QFileDialog> abbrechen([](QFileDialog& w) { w.reject(); });
            QTest::mouseClick(d.PasswortDateiWaehlen, Qt::LeftButton);
            QVERIFY(abbrechen.Bedient());
            QCOMPARE(d.PasswortDatei->text(), ordner.filePath(QStringLiteral("alt")));
            TModalerDialog<QFileDialog> waehlen([&](QFileDialog& w) {
                QCOMPARE(QDir(w.directory()).canonicalPath(), QDir(ordner.path()).canonicalPath());
                // selectFile fills the name field only while it has no focus.
                if (QWidget* fokus = QApplication::focusWidget()) {
                    fokus->clearFocus();
                }
                w.selectFile(datei);
                static_cast<QDialog&>(w).accept(); // QFileDialog takes the selection
            });
            QTest::mouseClick(d.PasswortDateiWaehlen, Qt::LeftButton);
            QVERIFY(waehlen.Bedient());
            QCOMPARE(QFileInfo(d.PasswortDatei->text()).canonicalFilePath(),
                     QFileInfo(datei).canonicalFilePath());
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
    }

    // OK with a switched-on publisher that could not start: the error box says why, the dialog
    // stays open with what was typed, and nothing is taken.
    void okWeistUnbrauchbaresAb_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("passwort");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Server") << "broker:1883" << QString() << "mqtt://Rechner:1883";
        QTest::newRow("Passwortdatei")
            << QString::fromStdString(Geschlossen()) << "/nicht/da/passwort"
            << "Die Passwortdatei /nicht/da/passwort lässt sich nicht lesen";
    }
    void okWeistUnbrauchbaresAb() {
        QFETCH(QString, server);
        QFETCH(QString, passwort);
        QFETCH(QString, meldung);
        auto rig = Fenster({});
        QVERIFY(Oeffnen(*rig->Form, [&](TVeroeffentlichenForm& d) {
            QTest::mouseClick(d.Aktiv, Qt::LeftButton);
            Tippen(d.Server, server.toStdString());
            Tippen(d.PasswortDatei, passwort.toStdString());
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
            QVERIFY(WartenBis([&] { return !rig->Fehler.isEmpty(); }));
            QVERIFY(d.isVisible());
            QCOMPARE(d.Server->text(), server);
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QCOMPARE(rig->Fehler.size(), 1);
        QVERIFY2(rig->Fehler.front().contains(meldung), qPrintable(rig->Fehler.front()));
        QVERIFY(rig->Form->Veroeffentlicher() == nullptr);
        QVERIFY(Gespeichert(*rig) == TVeroeffentlichenEinstellungen{});
    }

    // A password file that cannot be used stops no start: it is read before each connection,
    // which says why it cannot be made. OK in the dialog refuses the file, with the reason in
    // the error box, and takes it once it is mended.
    void startMitUnbrauchbarerPasswortdatei() {
        TTestOrdner ordner;
        const std::filesystem::path passwort = ordner / "passwort";
        DateiSchreiben(passwort, "geheim\n");
        std::filesystem::permissions(passwort, std::filesystem::perms(0644));
        auto rig = Fenster(Konf("Aktiv=true\nServer=" + Geschlossen() +
                                "\nPasswortDatei=" + passwort.string() + "\n"));
        TForm1& f = *rig->Form;
        QVERIFY(f.Veroeffentlicher() != nullptr);
        QCOMPARE(Zeile(f), QStringLiteral("Veröffentlichen: wartet auf eine Messung"));
        QVERIFY(Oeffnen(f, [&](TVeroeffentlichenForm& d) {
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
            QVERIFY(WartenBis([&] { return !rig->Fehler.isEmpty(); }));
            QVERIFY(d.isVisible());
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
        QVERIFY2(rig->Fehler.front().contains("dürfen auch andere lesen"),
                 qPrintable(rig->Fehler.front()));
        std::filesystem::permissions(passwort, std::filesystem::perms(0600));
        QVERIFY(Oeffnen(
            f, [](TVeroeffentlichenForm& d) { QTest::mouseClick(d.OKButton, Qt::LeftButton); }));
        QVERIFY(f.Veroeffentlicher() != nullptr);
        QCOMPARE(rig->Fehler.size(), 1);
    }

    // The check takes the fields as typed, not what is saved.
    void verbindungPruefenOhneServer() {
        auto rig = Fenster({});
        const std::string server = Geschlossen();
        QVERIFY(Oeffnen(*rig->Form, [&](TVeroeffentlichenForm& d) {
            Tippen(d.Server, server);
            QTest::mouseClick(d.PruefenButton, Qt::LeftButton);
            QVERIFY(WartenBis([&] { return d.PruefenButton->isEnabled(); }));
            QCOMPARE(d.Ergebnis->text().toStdString(),
                     "Keine Verbindung zu " + server + ": der Server nimmt keine Verbindung an.");
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
    }

    // Trouble of the outbox reaches the error box once, however many readings follow, and the
    // line tells it.
    void stoerungImFehlerfenster_data() {
        QTest::addColumn<QString>("grenze");
        QTest::addColumn<bool>("ohneOrdner");
        QTest::addColumn<QString>("meldung");
        QTest::addColumn<QString>("zeile");
        QTest::newRow("voll") << "1 KB" << false << "ist voll"
                              << "Messwerte warten";
        QTest::newRow("ohne Ausgang") << "1 GB" << true << "Veröffentlichen ist aus: "
                                      << "Veröffentlichen: aus, ohne Ausgang";
    }
    void stoerungImFehlerfenster() {
        QFETCH(QString, grenze);
        QFETCH(bool, ohneOrdner);
        QFETCH(QString, meldung);
        QFETCH(QString, zeile);
        auto rig = Fenster(Konf("Aktiv=true\nServer=" + Geschlossen() +
                                "\nOutboxGrenze=" + grenze.toStdString() + "\n"));
        if (ohneOrdner) {
            DateiSchreiben(rig->Ordner / "zustand", "kein Ordner");
        }
        rig->Form->WTW_Rx_Button->click();
        for (int i = 0; i < 10; ++i) {
            QVERIFY(rig->Empfangen(" 7.01 pH   25.0 \xF8"
                                   "C\r\n"));
        }
        THauptfensterRig::Abarbeiten();
        QCOMPARE(rig->Fehler.size(), 1);
        QVERIFY2(rig->Fehler.front().contains(meldung), qPrintable(rig->Fehler.front()));
        QVERIFY2(Zeile(*rig->Form).contains(zeile), qPrintable(Zeile(*rig->Form)));
        rig->Form->WTW_Rx_Button->click();
    }

    // Against a real broker: the line follows the publisher once a meter measurement runs, the
    // dialog shows the same state after it, the check succeeds with its button off while it runs,
    // and OK on unchanged settings keeps the connection.
    void zustandMitBroker() {
        QVERIFY2(MosquittoDa(), "mosquitto is missing: scripts/deps.sh installs it");
        TMosquitto broker;
        QVERIFY(broker.Starten());
        auto rig = Fenster(Konf("Aktiv=true\nServer=" + broker.Url() + "\nArbeitsplatz=bank1\n"));
        TForm1& f = *rig->Form;
        QCOMPARE(Zeile(f), QStringLiteral("Veröffentlichen: wartet auf eine Messung"));
        f.WTW_Rx_Button->click();
        QVERIFY(WartenBis([&] { return Zeile(f).startsWith("Veröffentlichen: verbunden"); }));
        // The options open between measurements; the connection stays.
        f.WTW_Rx_Button->click();
        const TVeroeffentlicher* vorher = f.Veroeffentlicher();
        QVERIFY(Oeffnen(f, [&](TVeroeffentlichenForm& d) {
            QVERIFY(d.Zustand->text().startsWith("Zustand: verbunden"));
            QTest::mouseClick(d.PruefenButton, Qt::LeftButton);
            QVERIFY(!d.PruefenButton->isEnabled());
            QVERIFY(WartenBis([&] { return d.PruefenButton->isEnabled(); }));
            QCOMPARE(d.Ergebnis->text().toStdString(),
                     "Verbindung zu " + broker.Url() + " steht (MQTT 5).");
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QCOMPARE(f.Veroeffentlicher(), vorher);
        QVERIFY(f.Veroeffentlicher()->IstVerbunden());
        QVERIFY(rig->Fehler.isEmpty());
    }
};

QUORLITS_WIDGET_TEST(TVeroeffentlichenTest)
#include "veroeffentlichen_test.moc"
