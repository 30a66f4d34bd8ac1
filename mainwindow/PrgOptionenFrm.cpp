// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/PrgOptionenFrm.h"

#include "app/Laufwerke.h"
#include "framework/widgets/PBSpinEdit.h"
#include "mainwindow/DialogTeile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace {

constexpr int NamensLaenge = 8;
constexpr int Label3Breite = 177;
const QString AlleDateien = QStringLiteral("*.*");

// The user can type at most eight characters into the name field. A longer name put there by
// the program (a file chosen in the list, the name of the output file) stays whole, as it must
// reach the settings unchanged on OK, and can be shortened but not lengthened.
class TNamensGrenze : public QValidator {
public:
    explicit TNamensGrenze(QLineEdit* edit)
        : QValidator(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) {
            erlaubt_ = std::max<qsizetype>(NamensLaenge, text.size());
        });
    }

    State validate(QString& text, int&) const override {
        return text.size() <= erlaubt_ ? Acceptable : Invalid;
    }

private:
    qsizetype erlaubt_ = NamensLaenge;
};

bool EnterTaste(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const int taste = static_cast<const QKeyEvent*>(event)->key();
    return taste == Qt::Key_Return || taste == Qt::Key_Enter;
}

} // namespace

TPrgOptionenForm::TPrgOptionenForm(QWidget* parent)
    : QDialog(parent)
    , verzeichnis_(QDir::currentPath()) {
    setObjectName(QStringLiteral("PrgOptionenForm"));
    setWindowTitle(QStringLiteral("Eingabe allgemeiner Programmoptionen"));
    setModal(true);

    OKButton = Benannt(new QPushButton(QStringLiteral("OK"), this), "OKButton");
    CancelButton = Benannt(new QPushButton(QStringLiteral("Abbruch"), this), "CancelButton");
    OKButton->setDefault(true);
    // Where the readings go besides the data file, in a dialog of its own.
    VeroeffentlichenButton = Benannt(new QPushButton(QStringLiteral("Veröffentlichen ..."), this),
                                     "VeroeffentlichenButton");
    VeroeffentlichenButton->setToolTip(
        QStringLiteral("Jeden Messwert auch an einen MQTT-Broker geben, für eine Datenbank "
                       "vieler Arbeitsplätze."));
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(VeroeffentlichenButton);
    knoepfe->addStretch(1);
    knoepfe->addWidget(CancelButton);
    knoepfe->addWidget(OKButton);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(DateiGruppe(), 1);
    spalte->addWidget(TabellenGruppe());
    spalte->addLayout(MessungsZeile());
    spalte->addLayout(knoepfe);

    Verbinden();
    Reihenfolge();
    LaufwerkeLesen();
    laufwerksVerzeichnis_[LaufwerkVon(laufwerke_, verzeichnis_.toStdString())] = verzeichnis_;
    VerzeichnisZeigen();
    // The listed size, grown where this system's font needs more room than the design had.
    setFixedSize(minimumSizeHint().expandedTo(QSize(387, 374)));
}

QGroupBox* TPrgOptionenForm::DateiGruppe() {
    GroupBox2 = Benannt(new QGroupBox(QStringLiteral("Ausgabedatei für Datenspeicherung"), this),
                        "GroupBox2");
    GroupBox2->setToolTip(QStringLiteral("Vorgaben zur Wahl der Ausgabedatei."));
    CheckBox1 =
        Benannt(new QCheckBox(QStringLiteral("Dateinamen automatisch wählen (TTMMJJ.000 bis 999)"),
                              GroupBox2),
                "CheckBox1");
    CheckBox1->setChecked(true);
    CheckBox1->setToolTip(QStringLiteral("Datum + '.' + laufende Nummer."));
    const QString modusHinweis = QStringLiteral("Werte an Datei anfügen oder Datei neu beginnen");
    RBAnfuegen =
        Benannt(new QRadioButton(QStringLiteral("An Datei anfügen"), GroupBox2), "RBAnfuegen");
    RBAnfuegen->setToolTip(modusHinweis);
    RBAnfuegen->setChecked(true);
    RBUeberschreiben = Benannt(new QRadioButton(QStringLiteral("Datei überschreiben"), GroupBox2),
                               "RBUeberschreiben");
    RBUeberschreiben->setToolTip(modusHinweis);
    Label3 = Benannt(new QLabel(GroupBox2), "Label3");
    Label3->setFixedWidth(Label3Breite);
    Edit1 = Benannt(new QLineEdit(AlleDateien, GroupBox2), "Edit1");
    Edit1->setValidator(new TNamensGrenze(Edit1));
    DirectoryListBox1 = Benannt(new QListWidget(GroupBox2), "DirectoryListBox1");
    DirectoryListBox1->installEventFilter(this);
    FileListBox1 = Benannt(new QListWidget(GroupBox2), "FileListBox1");
    DriveComboBox1 = Benannt(new QComboBox(GroupBox2), "DriveComboBox1");
    FilterComboBox1 = Benannt(new QComboBox(GroupBox2), "FilterComboBox1");
    FilterComboBox1->addItem(QStringLiteral("Alle Dateien(*.*)"), AlleDateien);

    auto* raster = new QGridLayout(GroupBox2);
    raster->addWidget(CheckBox1, 0, 0, 1, 2);
    raster->addWidget(RBAnfuegen, 1, 0);
    raster->addWidget(RBUeberschreiben, 1, 1);
    raster->addWidget(Edit1, 2, 0);
    raster->addWidget(Label3, 2, 1);
    raster->addWidget(FileListBox1, 3, 0);
    raster->addWidget(DirectoryListBox1, 3, 1);
    raster->addWidget(FilterComboBox1, 4, 0);
    raster->addWidget(DriveComboBox1, 4, 1);
    raster->setRowStretch(3, 1);
    return GroupBox2;
}

// Beyond the file and table options: what a measurement does when its device goes away, and
// whether it keeps the raw bytes of the line.
QLayout* TPrgOptionenForm::MessungsZeile() {
    AutomatischWiederverbinden =
        Benannt(new QCheckBox(QStringLiteral("Automatisch wiederverbinden"), this),
                "AutomatischWiederverbinden");
    AutomatischWiederverbinden->setChecked(true);
    AutomatischWiederverbinden->setToolTip(
        QStringLiteral("Geht das Gerät während einer Messung verloren, wartet das Programm "
                       "darauf und setzt die Messung in derselben Datei fort."));
    RohdatenAufzeichnen =
        Benannt(new QCheckBox(QStringLiteral("Rohdaten aufzeichnen"), this), "RohdatenAufzeichnen");
    RohdatenAufzeichnen->setToolTip(
        QStringLiteral("Jede Messung hält die empfangenen Bytes mit ihren Zeiten fest, in einer "
                       "Datei neben der Datendatei: deren Name mit „.roh“ angehängt."));
    AngabenInDatei = Benannt(
        new QCheckBox(QStringLiteral("Probe, Bediener und Elektrode in die Datendatei"), this),
        "AngabenInDatei");
    AngabenInDatei->setToolTip(
        QStringLiteral("Jede Zeile der Datendatei erhält am Ende drei Felder mehr, die Kopfzeile "
                       "ihre drei Namen; gilt ab dem nächsten Speicherbeginn."));
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(AutomatischWiederverbinden);
    zeile->addWidget(RohdatenAufzeichnen);
    zeile->addWidget(AngabenInDatei);
    zeile->addStretch(1);
    return zeile;
}

QGroupBox* TPrgOptionenForm::TabellenGruppe() {
    GroupBox1 =
        Benannt(new QGroupBox(QStringLiteral("Vorgaben zur Tabellenansicht"), this), "GroupBox1");
    GroupBox1->setToolTip(QStringLiteral("Vorgaben nur für unformatiertes Lesen"));
    Label1 = Benannt(new QLabel(QStringLiteral("Anzahl Spalten:"), GroupBox1), "Label1");
    PBSpinEdit1 = Zahlfeld("PBSpinEdit1", 5, 50, 20, GroupBox1);
    Label2 = Benannt(new QLabel(QStringLiteral("Breite der Spalten:"), GroupBox1), "Label2");
    PBSpinEdit2 = Zahlfeld("PBSpinEdit2", 5, 300, 21, GroupBox1);
    Label1->setBuddy(PBSpinEdit1);
    Label2->setBuddy(PBSpinEdit2);
    auto* zeile = new QHBoxLayout(GroupBox1);
    zeile->addWidget(Label1);
    zeile->addWidget(PBSpinEdit1);
    zeile->addStretch(1);
    zeile->addWidget(Label2);
    zeile->addWidget(PBSpinEdit2);
    return GroupBox1;
}

void TPrgOptionenForm::Verbinden() {
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // A check set by the program counts as a click too, so the controls always follow it.
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { LaufwerkWaehlen(index); });
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this] { VerzeichnisOeffnen(); });
    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this, [this] { DateienLesen(); });
    // Only a chosen (selected) file counts: the list's current row alone also moves when the
    // list merely receives the focus.
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, [this] { DateiGewaehlt(); });
    connect(FileListBox1, &QListWidget::itemClicked, this, [this] { DateiGewaehlt(); });
}

void TPrgOptionenForm::Reihenfolge() {
    const QWidget* vorher = nullptr;
    for (QWidget* naechstes :
         {static_cast<QWidget*>(OKButton), static_cast<QWidget*>(CheckBox1),
          static_cast<QWidget*>(RBAnfuegen), static_cast<QWidget*>(RBUeberschreiben),
          static_cast<QWidget*>(Edit1), static_cast<QWidget*>(DirectoryListBox1),
          static_cast<QWidget*>(FileListBox1), static_cast<QWidget*>(DriveComboBox1),
          static_cast<QWidget*>(FilterComboBox1), static_cast<QWidget*>(PBSpinEdit1),
          static_cast<QWidget*>(PBSpinEdit2), static_cast<QWidget*>(AutomatischWiederverbinden),
          static_cast<QWidget*>(RohdatenAufzeichnen), static_cast<QWidget*>(AngabenInDatei),
          static_cast<QWidget*>(VeroeffentlichenButton), static_cast<QWidget*>(CancelButton)}) {
        if (vorher != nullptr) {
            setTabOrder(const_cast<QWidget*>(vorher), naechstes);
        }
        vorher = naechstes;
    }
}

void TPrgOptionenForm::FormActivate() {
    SetStatus();
}

void TPrgOptionenForm::CheckBox1Click() {
    SetStatus();
}

void TPrgOptionenForm::SetStatus() {
    const bool frei = !CheckBox1->isChecked();
    for (QWidget* steuerelement :
         {static_cast<QWidget*>(RBAnfuegen), static_cast<QWidget*>(RBUeberschreiben),
          static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Label3),
          static_cast<QWidget*>(DirectoryListBox1), static_cast<QWidget*>(DriveComboBox1),
          static_cast<QWidget*>(FileListBox1), static_cast<QWidget*>(FilterComboBox1)}) {
        steuerelement->setEnabled(frei);
    }
}

void TPrgOptionenForm::showEvent(QShowEvent* event) {
    // Media may have been mounted and directories made since the last showing. The file list
    // is not re-read here: that would replace the name just filled into Edit1.
    LaufwerkeLesen();
    LaufwerkAnzeigen();
    VerzeichnisseLesen();
    FormActivate();
    QDialog::showEvent(event);
    DialogZeigen(*this, *OKButton);
}

bool TPrgOptionenForm::eventFilter(QObject* objekt, QEvent* event) {
    // Enter in the directory list opens the directory, as a double click does, instead of
    // closing the dialog.
    if (objekt == DirectoryListBox1 && EnterTaste(event)) {
        VerzeichnisOeffnen();
        return true;
    }
    return QDialog::eventFilter(objekt, event);
}

void TPrgOptionenForm::VerzeichnisWechseln(const QString& pfad) {
    const QString ziel = QDir::cleanPath(QDir(verzeichnis_).absoluteFilePath(pfad));
    if (!QDir::setCurrent(ziel)) {
        QApplication::beep();
        LaufwerkAnzeigen();
        return;
    }
    verzeichnis_ = QDir::currentPath();
    laufwerksVerzeichnis_[LaufwerkVon(laufwerke_, verzeichnis_.toStdString())] = verzeichnis_;
    VerzeichnisZeigen();
}

void TPrgOptionenForm::VerzeichnisZeigen() {
    Label3->setText(
        QFontMetrics(Label3->font()).elidedText(verzeichnis_, Qt::ElideMiddle, Label3Breite));
    LaufwerkAnzeigen();
    VerzeichnisseLesen();
    DateienLesen();
}

void TPrgOptionenForm::LaufwerkWaehlen(int index) {
    const std::string wurzel = DriveComboBox1->itemData(index).toString().toStdString();
    const auto gemerkt = laufwerksVerzeichnis_.find(wurzel);
    if (gemerkt != laufwerksVerzeichnis_.end() && QFileInfo(gemerkt->second).isDir()) {
        VerzeichnisWechseln(gemerkt->second);
    } else {
        VerzeichnisWechseln(QString::fromStdString(wurzel));
    }
}

void TPrgOptionenForm::VerzeichnisOeffnen() {
    if (const QListWidgetItem* eintrag = DirectoryListBox1->currentItem()) {
        VerzeichnisWechseln(eintrag->data(Qt::UserRole).toString());
    }
}

void TPrgOptionenForm::LaufwerkeLesen() {
    laufwerke_ = LaufwerkeDesSystems();
    const QSignalBlocker sperre(DriveComboBox1);
    DriveComboBox1->clear();
    for (const std::string& wurzel : laufwerke_) {
        const QString text = QString::fromStdString(wurzel);
        DriveComboBox1->addItem(text, text);
    }
}

void TPrgOptionenForm::LaufwerkAnzeigen() {
    const QSignalBlocker sperre(DriveComboBox1);
    DriveComboBox1->setCurrentIndex(DriveComboBox1->findData(
        QString::fromStdString(LaufwerkVon(laufwerke_, verzeichnis_.toStdString()))));
}

void TPrgOptionenForm::VerzeichnisseLesen() {
    const QSignalBlocker sperre(DirectoryListBox1);
    DirectoryListBox1->clear();
    const QDir dir(verzeichnis_);
    const auto eintragen = [this, &dir](const QString& text, const QString& name) {
        auto* eintrag = new QListWidgetItem(text, DirectoryListBox1);
        eintrag->setData(Qt::UserRole, QDir::cleanPath(dir.absoluteFilePath(name)));
    };
    if (!dir.isRoot()) {
        eintragen(QStringLiteral(".."), QStringLiteral(".."));
    }
    for (const QString& name :
         dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        eintragen(name + QLatin1Char('/'), name);
    }
}

void TPrgOptionenForm::DateienLesen() {
    const QString maske = FilterComboBox1->currentData().toString();
    {
        const QSignalBlocker sperre(FileListBox1);
        FileListBox1->clear();
        // "*.*" means every file, also those without a point in their name.
        const QStringList filter = maske == AlleDateien ? QStringList() : QStringList{maske};
        FileListBox1->addItems(
            QDir(verzeichnis_).entryList(filter, QDir::Files, QDir::Name | QDir::IgnoreCase));
    }
    if (FileListBox1->selectedItems().isEmpty()) {
        Edit1->setText(maske);
    }
}

void TPrgOptionenForm::DateiGewaehlt() {
    const QList<QListWidgetItem*> gewaehlt = FileListBox1->selectedItems();
    if (!gewaehlt.isEmpty()) {
        Edit1->setText(gewaehlt.front()->text());
    }
}
