// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "HauptfensterRig.h"
#include "ModalerDialog.h"
#include "WidgetTest.h"

#include "app/Einstellungen.h"
#include "framework/widgets/PBSpinEdit.h"
#include "framework/widgets/StringGrid.h"
#include "mainwindow/PrgOptionenFrm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The program options dialog, opened with the "Speicheroptionen" button of the real main
// window. Each test starts the window in a directory of its own (the dialog's lists start in
// the directory that is current when the window is made) and gives the working directory and
// $HOME back afterwards.
namespace {

// A radio button takes clicks only on its circle and caption, wherever its layout stretched it.
void AmKreisKlicken(QAbstractButton* knopf) {
    QTest::mouseClick(knopf, Qt::LeftButton, {}, QPoint(6, knopf->height() / 2));
}

std::string Kanonisch(const std::filesystem::path& pfad) {
    return std::filesystem::canonical(pfad).string();
}

class TUmgebung {
public:
    TUmgebung()
        : cwd_(QDir::currentPath())
        , home_(qgetenv("HOME")) {
        std::filesystem::create_directory(Start / "Unter");
        DateiSchreiben(Start / "alpha.txt", "");
        DateiSchreiben(Start / "ohnepunkt", "");
        qputenv("HOME", QFile::encodeName(QString::fromStdString(Kanonisch(Heim.Pfad()))));
        QDir::setCurrent(QString::fromStdString(Start.Pfad().string()));
        Rig = std::make_unique<THauptfensterRig>();
    }
    ~TUmgebung() {
        Rig.reset();
        QDir::setCurrent(cwd_);
        qputenv("HOME", home_);
    }
    TUmgebung(const TUmgebung&) = delete;
    TUmgebung& operator=(const TUmgebung&) = delete;

    TForm1& Form() { return *Rig->Form; }
    std::string StartDir() const { return Kanonisch(Start.Pfad()); }

    // Opens the dialog with the button and runs `bedienen` on it.
    bool Oeffnen(const std::function<void(TPrgOptionenForm&)>& bedienen) {
        TModalerDialog<TPrgOptionenForm> dialog(bedienen);
        QTest::mouseClick(Form().Option_Btn, Qt::LeftButton);
        return dialog.Bedient() && !dialog.OffenGelassen();
    }

    TTestOrdner Start;
    TTestOrdner Heim;
    std::unique_ptr<THauptfensterRig> Rig;

private:
    QString cwd_;
    QByteArray home_;
};

std::vector<QWidget*> Dateisteuerelemente(const TPrgOptionenForm& d) {
    return {d.RBAnfuegen,        d.RBUeberschreiben, d.Edit1,        d.Label3,
            d.DirectoryListBox1, d.DriveComboBox1,   d.FileListBox1, d.FilterComboBox1};
}

int Freigegeben(const TPrgOptionenForm& d) {
    int anzahl = 0;
    for (const QWidget* w : Dateisteuerelemente(d)) {
        anzahl += w->isEnabled() ? 1 : 0;
    }
    return anzahl;
}

void Tippen(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Tippen(TPBSpinEdit* feld, const QString& text) {
    Tippen(feld->Edit(), text);
}

// Opens an entry of the directory list with Enter; false when it is not listed.
bool VerzeichnisOeffnen(TPrgOptionenForm& d, const QString& eintrag) {
    const auto gefunden = d.DirectoryListBox1->findItems(eintrag, Qt::MatchExactly);
    if (gefunden.isEmpty()) {
        return false;
    }
    d.DirectoryListBox1->setCurrentItem(gefunden.front());
    QTest::keyClick(d.DirectoryListBox1, Qt::Key_Return);
    return true;
}

QStringList Eintraege(const QListWidget* liste) {
    QStringList texte;
    for (int i = 0; i < liste->count(); ++i) {
        texte << liste->item(i)->text();
    }
    return texte;
}

QStringList Namen(const std::vector<QWidget*>& widgets) {
    QStringList namen;
    for (const QWidget* w : widgets) {
        // A number field's edit stands for the field.
        namen << (w->objectName().isEmpty() ? w->parentWidget()->objectName() : w->objectName());
    }
    return namen;
}

} // namespace

class TPrgOptionenTest : public QObject {
    Q_OBJECT

private slots:
    void ersteOeffnung() {
        TUmgebung u;
        QVERIFY(u.Oeffnen([&u](TPrgOptionenForm& d) {
            QVERIFY(d.CheckBox1->isChecked());
            QCOMPARE(Freigegeben(d), 0);
            QVERIFY(d.RBAnfuegen->isChecked());
            QVERIFY(!d.RBUeberschreiben->isChecked());
            QCOMPARE(d.Edit1->text(), QStringLiteral("Daten.txt"));
            QCOMPARE(d.PBSpinEdit1->Edit()->text(), QStringLiteral("20"));
            QCOMPARE(d.PBSpinEdit2->Edit()->text(), QStringLiteral("21"));
            QCOMPARE(d.Verzeichnis().toStdString(), u.StartDir());
            QCOMPARE(Eintraege(d.FileListBox1),
                     (QStringList{QStringLiteral("alpha.txt"), QStringLiteral("ohnepunkt")}));
            QCOMPARE(Eintraege(d.DirectoryListBox1),
                     (QStringList{QStringLiteral(".."), QStringLiteral("Unter/")}));
            QCOMPARE(d.FilterComboBox1->currentText(), QStringLiteral("Alle Dateien(*.*)"));
            QCOMPARE(d.DriveComboBox1->currentText(), QStringLiteral("/"));
            QVERIFY(d.DriveComboBox1->findText(QString::fromStdString(Kanonisch(u.Heim.Pfad()))) >
                    0);
            QVERIFY(d.Label3->width() == 177);
            QVERIFY(d.fontMetrics().horizontalAdvance(d.Label3->text()) <= 177);
            QCOMPARE(d.windowTitle(), QStringLiteral("Eingabe allgemeiner Programmoptionen"));
            // At least the listed size, more where the font needs it; never resizable.
            QVERIFY(d.width() >= 387 && d.height() >= 374);
            QCOMPARE(d.minimumSize(), d.maximumSize());
            QVERIFY(d.OKButton->isDefault());
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QVERIFY(QTest::qWaitFor([&d] { return d.OKButton->hasFocus(); }));
            QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        }));
    }

    void haekchenSchaltetDieDateisteuerelemente() {
        TUmgebung u;
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QVERIFY(!d.CheckBox1->isChecked());
            QCOMPARE(Freigegeben(d), 8);
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QCOMPARE(Freigegeben(d), 0);
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QVERIFY(!u.Form().Zustand.Konfiguration.AutoDateiname);
        // The next showing starts from the settings again, and so do the controls' states.
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QVERIFY(!d.CheckBox1->isChecked());
            QCOMPARE(Freigegeben(d), 8);
            d.reject();
        }));
    }

    void maskeLaesstAusgabedateiUndNimmtDenRest() {
        TUmgebung u;
        TKonfiguration& k = u.Form().Zustand.Konfiguration;
        const std::string vorher = k.Ausgabedatei;
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            AmKreisKlicken(d.RBUeberschreiben);
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("Unter/")));
            QVERIFY(d.isVisible());
            QCOMPARE(d.Edit1->text(), QStringLiteral("*.*"));
            Tippen(d.PBSpinEdit1, QStringLiteral("30"));
            Tippen(d.PBSpinEdit2, QStringLiteral("300"));
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QCOMPARE(k.Ausgabedatei, vorher);
        QVERIFY(!k.AutoDateiname);
        QVERIFY(k.Ueberschreiben);
        QCOMPARE(int(k.Spaltenzahl), 30);
        QCOMPARE(int(k.Spaltenbreite), 300);
        QCOMPARE(u.Form().StringGrid1->ColCount(), 30);
        QCOMPARE(u.Form().StringGrid1->columnWidth(29), 300);
        QCOMPARE(u.Form().Label12->text(), QStringLiteral("Daten.txt"));
        QCOMPARE(QDir::currentPath().toStdString(), u.StartDir() + "/Unter");
    }

    void getippterNameImVerzeichnis() {
        TUmgebung u;
        TKonfiguration& k = u.Form().Zustand.Konfiguration;
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            // At most eight characters can be typed.
            Tippen(d.Edit1, QStringLiteral("Messung12"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("Messung1"));
            QTest::keyClick(d.Edit1, Qt::Key_Return);
        }));
        QCOMPARE(k.Ausgabedatei, u.StartDir() + "/Messung1");
        QCOMPARE(u.Form().Label12->text(), QStringLiteral("Messung1"));
    }

    void gewaehlteDateiUndAutomatischeNamen() {
        TUmgebung u;
        TKonfiguration& k = u.Form().Zustand.Konfiguration;
        // A chosen file's name is taken whole, even when longer than what can be typed.
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QListWidgetItem* datei = d.FileListBox1->item(0);
            QTest::mouseClick(d.FileListBox1->viewport(), Qt::LeftButton, {},
                              d.FileListBox1->visualItemRect(datei).center());
            QCOMPARE(d.Edit1->text(), QStringLiteral("alpha.txt"));
            QTest::keyClick(d.Edit1, Qt::Key_Backspace);
            QCOMPARE(d.Edit1->text(), QStringLiteral("alpha.tx"));
            QTest::keyClicks(d.Edit1, QStringLiteral("tt"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("alpha.tx"));
            QTest::mouseClick(d.FileListBox1->viewport(), Qt::LeftButton, {},
                              d.FileListBox1->visualItemRect(datei).center());
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QCOMPARE(k.Ausgabedatei, u.StartDir() + "/alpha.txt");
        // With automatic names the name filled in from the settings moves with the lists'
        // directory, and the label says so.
        k.Ausgabedatei = "/anderswo/Daten.txt";
        QVERIFY(u.Oeffnen([](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QTest::mouseClick(d.OKButton, Qt::LeftButton);
        }));
        QVERIFY(k.AutoDateiname);
        QCOMPARE(k.Ausgabedatei, u.StartDir() + "/Daten.txt");
        QCOMPARE(u.Form().Label12->text(), QStringLiteral("automatische Wahl"));
    }

    void ungueltigerNameLaesstAusgabedatei_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Tilde") << QStringLiteral("Mess~1");
        QTest::newRow("Umlaut") << QStringLiteral("Mä");
        QTest::newRow("Klammer") << QStringLiteral("a{b}");
        QTest::newRow("Stern") << QStringLiteral("a*b");
        QTest::newRow("Doppelpunkt") << QStringLiteral("a:b");
        QTest::newRow("nur Blanks") << QStringLiteral("   ");
        QTest::newRow("leer") << QString();
    }

    void ungueltigerNameLaesstAusgabedatei() {
        QFETCH(QString, name);
        TUmgebung u;
        TKonfiguration& k = u.Form().Zustand.Konfiguration;
        const std::string vorher = k.Ausgabedatei;
        QVERIFY(u.Oeffnen([&name](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            d.Edit1->selectAll();
            QTest::keyClick(d.Edit1, Qt::Key_Delete);
            for (const QChar zeichen : name) {
                QTest::sendKeyEvent(QTest::Click, d.Edit1, Qt::Key_unknown, QString(zeichen),
                                    Qt::NoModifier);
            }
            QCOMPARE(d.Edit1->text(), name);
            Tippen(d.PBSpinEdit1, QStringLiteral("99"));
            QTest::keyClick(d.PBSpinEdit1->Edit(), Qt::Key_Return);
        }));
        QCOMPARE(k.Ausgabedatei, vorher);
        QVERIFY(!k.AutoDateiname);
        QCOMPARE(int(k.Spaltenzahl), 50);
        QVERIFY(u.Rig->Fehler.isEmpty());
    }

    void abbruchAendertKeineEinstellung_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Abbruch") << false;
        QTest::newRow("Escape") << true;
    }

    void abbruchAendertKeineEinstellung() {
        QFETCH(bool, escape);
        TUmgebung u;
        TKonfiguration& k = u.Form().Zustand.Konfiguration;
        const TKonfiguration vorher = k;
        const QString label = u.Form().Label12->text();
        QVERIFY(u.Oeffnen([escape](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            AmKreisKlicken(d.RBUeberschreiben);
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("Unter/")));
            Tippen(d.Edit1, QStringLiteral("Messung1"));
            Tippen(d.PBSpinEdit1, QStringLiteral("7"));
            Tippen(d.PBSpinEdit2, QStringLiteral("99"));
            if (escape) {
                QTest::keyClick(d.Edit1, Qt::Key_Escape);
            } else {
                QTest::mouseClick(d.CancelButton, Qt::LeftButton);
            }
        }));
        QCOMPARE(k.Ausgabedatei, vorher.Ausgabedatei);
        QCOMPARE(k.AutoDateiname, vorher.AutoDateiname);
        QCOMPARE(k.Ueberschreiben, vorher.Ueberschreiben);
        QCOMPARE(k.Spaltenzahl, vorher.Spaltenzahl);
        QCOMPARE(k.Spaltenbreite, vorher.Spaltenbreite);
        QCOMPARE(u.Form().StringGrid1->ColCount(), int(vorher.Spaltenzahl));
        QCOMPARE(u.Form().Label12->text(), label);
        // The move to another directory stays, and the lists show it at the next showing.
        QCOMPARE(QDir::currentPath().toStdString(), u.StartDir() + "/Unter");
        QVERIFY(u.Oeffnen([&u](TPrgOptionenForm& d) {
            QCOMPARE(d.Verzeichnis().toStdString(), u.StartDir() + "/Unter");
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("..")));
            d.reject();
        }));
        QCOMPARE(QDir::currentPath().toStdString(), u.StartDir());
    }

    void laufwerkeMerkenIhrVerzeichnis() {
        TUmgebung u;
        const std::string heim = Kanonisch(u.Heim.Pfad());
        std::filesystem::create_directory(u.Heim / "Labor");
        QVERIFY(u.Oeffnen([&](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QCOMPARE(d.DriveComboBox1->currentText(), QStringLiteral("/"));
            const int heimIndex = d.DriveComboBox1->findText(QString::fromStdString(heim));
            QVERIFY(heimIndex > 0);
            d.DriveComboBox1->setCurrentIndex(heimIndex);
            emit d.DriveComboBox1->activated(heimIndex);
            QCOMPARE(QDir::currentPath().toStdString(), heim);
            QCOMPARE(d.Edit1->text(), QStringLiteral("*.*"));
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("Labor/")));
            QCOMPARE(d.DriveComboBox1->currentText(), QString::fromStdString(heim));
            // Back on "/" the lists show the directory last shown there, and the other way.
            d.DriveComboBox1->setCurrentIndex(0);
            emit d.DriveComboBox1->activated(0);
            QCOMPARE(QDir::currentPath().toStdString(), u.StartDir());
            QCOMPARE(d.Verzeichnis().toStdString(), u.StartDir());
            d.DriveComboBox1->setCurrentIndex(heimIndex);
            emit d.DriveComboBox1->activated(heimIndex);
            QCOMPARE(QDir::currentPath().toStdString(), heim + "/Labor");
            // ".." up from the home directory leaves its root for "/".
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("..")));
            QVERIFY(VerzeichnisOeffnen(d, QStringLiteral("..")));
            QCOMPARE(d.DriveComboBox1->currentText(), QStringLiteral("/"));
            d.reject();
        }));
    }

    void tabfolge() {
        TUmgebung u;
        QStringList folge;
        QVERIFY(u.Oeffnen([&folge](TPrgOptionenForm& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton);
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.OKButton->setFocus();
            QVERIFY(QTest::qWaitFor([&d] { return d.OKButton->hasFocus(); }));
            folge = Namen(Tabfolge(d));
            d.reject();
        }));
        QCOMPARE(folge,
                 (QStringList{"OKButton", "CheckBox1", "RBAnfuegen", "Edit1", "DirectoryListBox1",
                              "FileListBox1", "DriveComboBox1", "FilterComboBox1", "PBSpinEdit1",
                              "PBSpinEdit2", "AutomatischWiederverbinden", "RohdatenAufzeichnen",
                              "AngabenInDatei", "VeroeffentlichenButton", "CancelButton"}));
    }

    // Each box of quorlits.conf shows its setting and writes a change there at once, leaving
    // PHRX.CFG to the end of the program; the other setting keeps its value.
    void einstellungInQuorlitsConf_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("vorgabe");
        QTest::newRow("wiederverbinden") << QStringLiteral("AutomatischWiederverbinden") << true;
        QTest::newRow("rohdaten") << QStringLiteral("RohdatenAufzeichnen") << false;
        QTest::newRow("angaben") << QStringLiteral("AngabenInDatei") << false;
    }
    void einstellungInQuorlitsConf() {
        QFETCH(QString, box);
        QFETCH(bool, vorgabe);
        bool TEinstellungen::*const feld =
            box == QStringLiteral("RohdatenAufzeichnen") ? &TEinstellungen::RohdatenAufzeichnen
            : box == QStringLiteral("AngabenInDatei")    ? &TEinstellungen::AngabenInDatei
                                                      : &TEinstellungen::AutomatischWiederverbinden;
        TUmgebung u;
        const auto conf = EinstellungenPfad(u.Rig->Konfigurationsdatei());
        TEinstellungen erwartet = u.Form().Einstellungen;
        QCOMPARE(erwartet.*feld, vorgabe);
        QVERIFY(u.Oeffnen([&box, vorgabe](TPrgOptionenForm& d) {
            auto* knopf = d.findChild<QCheckBox*>(box);
            QVERIFY(knopf != nullptr);
            QCOMPARE(knopf->isChecked(), vorgabe);
            knopf->setChecked(!vorgabe);
            d.accept();
        }));
        erwartet.*feld = !vorgabe;
        QVERIFY(u.Form().Einstellungen == erwartet);
        QVERIFY(EinstellungenLesen(conf) == erwartet);
        QVERIFY(!std::filesystem::exists(u.Rig->Konfigurationsdatei()));
        QVERIFY(u.Oeffnen([&box, vorgabe](TPrgOptionenForm& d) {
            auto* knopf = d.findChild<QCheckBox*>(box);
            QCOMPARE(knopf->isChecked(), !vorgabe);
            knopf->setChecked(vorgabe);
            d.reject();
        }));
        QVERIFY(u.Form().Einstellungen == erwartet);
    }

    void hinweiseUndNamen() {
        TUmgebung u;
        const TPrgOptionenForm& d = *u.Form().PrgOptionenForm;
        QCOMPARE(d.GroupBox2->title(), QStringLiteral("Ausgabedatei für Datenspeicherung"));
        QCOMPARE(d.GroupBox2->toolTip(), QStringLiteral("Vorgaben zur Wahl der Ausgabedatei."));
        QCOMPARE(d.GroupBox1->toolTip(), QStringLiteral("Vorgaben nur für unformatiertes Lesen"));
        QCOMPARE(d.CheckBox1->toolTip(), QStringLiteral("Datum + '.' + laufende Nummer."));
        QCOMPARE(d.RBUeberschreiben->toolTip(),
                 QStringLiteral("Werte an Datei anfügen oder Datei neu beginnen"));
        for (const char* name :
             {"GroupBox2", "CheckBox1", "RBAnfuegen", "RBUeberschreiben", "Label3", "Edit1",
              "DirectoryListBox1", "FileListBox1", "DriveComboBox1", "FilterComboBox1", "GroupBox1",
              "Label1", "PBSpinEdit1", "Label2", "PBSpinEdit2", "OKButton", "CancelButton"}) {
            QVERIFY2(d.findChild<QWidget*>(QString::fromLatin1(name)) != nullptr, name);
        }
    }
};

QUORLITS_WIDGET_TEST(TPrgOptionenTest)
#include "prgoptionen_test.moc"
