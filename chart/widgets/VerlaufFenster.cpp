// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufFenster.h"

#include "acquisition/Zahlformat.h"
#include "chart/DatenExport.h"
#include "chart/widgets/VerlaufAnsicht.h"
#include "chart/widgets/VerlaufZeichnung.h"
#include "framework/widgets/Fehlerbox.h"
#include "storage/EInOutError.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QShowEvent>
#include <QSvgGenerator>
#include <QTimer>

#include <cerrno>
#include <limits>

namespace {

// The errno of a failed open or write, or EIO where the library left none.
[[noreturn]] void DateifehlerWerfen() {
    const int fehler = errno;
    throw EInOutError::AusErrno(fehler != 0 ? fehler : EIO);
}

// Writes a file whole or not at all: `schreiben` fills it, then it takes the place of the old.
template <typename F>
void DateiSchreiben(const std::filesystem::path& datei, F&& schreiben) {
    QSaveFile ziel(QString::fromStdString(datei.string()));
    errno = 0;
    if (!ziel.open(QIODevice::WriteOnly)) {
        DateifehlerWerfen();
    }
    schreiben(ziel);
    errno = 0;
    if (!ziel.commit()) {
        DateifehlerWerfen();
    }
}

// The name a file dialog returned, with the extension of the chosen filter where it has none.
std::filesystem::path MitEndung(const QString& name, const char* endung) {
    std::filesystem::path datei = name.toStdString();
    if (datei.extension().empty()) {
        datei += endung;
    }
    return datei;
}

} // namespace

TVerlaufFenster::TVerlaufFenster(const TVerlauf& verlauf, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , verlauf_(verlauf) {
    setObjectName(QStringLiteral("Verlauf"));
    setWindowTitle(QStringLiteral("Verlauf"));
    // Made in reading order, which is the order of Tab: the controls, then the chart.
    Reihenwahl = new QComboBox(this);
    Reihenwahl->setObjectName(QStringLiteral("Reihenwahl"));
    Reihenwahl->addItem(QStringLiteral("Neueste Messgröße"), -1);
    MittelZeigen = new QCheckBox(QStringLiteral("Gleitendes Mittel"), this);
    MittelZeigen->setObjectName(QStringLiteral("MittelZeigen"));
    AllesZeigenKnopf = new QPushButton(QStringLiteral("Alles zeigen"), this);
    AllesZeigenKnopf->setObjectName(QStringLiteral("AllesZeigen"));
    SpeichernKnopf = new QPushButton(QStringLiteral("Speichern als ..."), this);
    SpeichernKnopf->setObjectName(QStringLiteral("BildSpeichern"));
    KopierenKnopf = new QPushButton(QStringLiteral("Kopieren"), this);
    KopierenKnopf->setObjectName(QStringLiteral("BildKopieren"));
    DatenKnopf = new QPushButton(QStringLiteral("Daten exportieren ..."), this);
    DatenKnopf->setObjectName(QStringLiteral("DatenExportieren"));
    Ansicht = new TVerlaufAnsicht(verlauf, this);
    Hinweis = new QLabel(this);
    Hinweis->setObjectName(QStringLiteral("Verlaufshinweis"));
    Hinweis->setWordWrap(true);
    Hinweis->setText(QStringLiteral(
        "Mausrad, + und −: Zoom · Ziehen: Bereich wählen · rechte Taste, ← und →: verschieben · "
        "Pos1: alles zeigen · Klick: Marke setzen"));

    auto* leiste = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(Reihenwahl), static_cast<QWidget*>(MittelZeigen),
          static_cast<QWidget*>(AllesZeigenKnopf), static_cast<QWidget*>(SpeichernKnopf),
          static_cast<QWidget*>(KopierenKnopf), static_cast<QWidget*>(DatenKnopf)}) {
        leiste->addWidget(w);
    }
    leiste->addStretch();
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(leiste);
    spalte->addWidget(Ansicht, 1);
    spalte->addWidget(Hinweis);

    connect(Reihenwahl, &QComboBox::activated, this, [this](int index) {
        Ansicht->SetReihe(Reihenwahl->itemData(index).toInt());
        NeuesteBenennen();
    });
    connect(MittelZeigen, &QCheckBox::toggled, Ansicht, &TVerlaufAnsicht::SetMittel);
    connect(AllesZeigenKnopf, &QPushButton::clicked, Ansicht, &TVerlaufAnsicht::AllesZeigen);
    connect(SpeichernKnopf, &QPushButton::clicked, this,
            [this] { Behandeln([this] { SpeichernFragen(); }); });
    connect(KopierenKnopf, &QPushButton::clicked, this, [this] { Kopieren(); });
    connect(DatenKnopf, &QPushButton::clicked, this,
            [this] { Behandeln([this] { DatenFragen(); }); });

    takt_ = new QTimer(this);
    takt_->setObjectName(QStringLiteral("Verlaufstakt"));
    takt_->setInterval(TaktMs);
    connect(takt_, &QTimer::timeout, this, &TVerlaufFenster::Auffrischen);
    resize(860, 480);
}

void TVerlaufFenster::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Opened again, not merely restored from the task bar: the whole measurement, following.
    if (!event->spontaneous()) {
        Ansicht->AllesZeigen();
    }
    Auffrischen();
    takt_->start();
}

void TVerlaufFenster::hideEvent(QHideEvent* event) {
    takt_->stop();
    QWidget::hideEvent(event);
}

void TVerlaufFenster::ReihenwahlAuffrischen() {
    const auto& reihen = verlauf_.Reihen();
    const bool neueMessung = leerungen_ != verlauf_.Leerungen();
    if (!neueMessung && Reihenwahl->count() == static_cast<int>(reihen.size()) + 1) {
        return;
    }
    leerungen_ = verlauf_.Leerungen();
    // A chart emptied for a new measurement follows the newest series again.
    const int gewaehlt = neueMessung ? -1 : Reihenwahl->currentData().toInt();
    while (Reihenwahl->count() > 1) {
        Reihenwahl->removeItem(1);
    }
    for (std::size_t i = 0; i < reihen.size(); ++i) {
        Reihenwahl->addItem(Achsentitel(reihen[i]), static_cast<int>(i));
    }
    Reihenwahl->setCurrentIndex(std::max(0, Reihenwahl->findData(gewaehlt)));
    if (Ansicht->Reihe() != Reihenwahl->currentData().toInt()) {
        Ansicht->SetReihe(Reihenwahl->currentData().toInt());
    }
}

// The list's first entry says which series "Neueste Messgröße" shows.
void TVerlaufFenster::NeuesteBenennen() {
    QString text = QStringLiteral("Neueste Messgröße");
    if (Ansicht->Reihe() < 0 && Ansicht->GezeigteNummer() >= 0) {
        text += QStringLiteral(" (%1)").arg(
            Achsentitel(verlauf_.Reihen()[static_cast<std::size_t>(Ansicht->GezeigteNummer())]));
    }
    if (Reihenwahl->itemText(0) != text) {
        Reihenwahl->setItemText(0, text);
    }
}

void TVerlaufFenster::Auffrischen() {
    Ansicht->Auffrischen(uhr_ ? uhr_().UtcMs : std::numeric_limits<std::int64_t>::min());
    ReihenwahlAuffrischen();
    NeuesteBenennen();
    if (verlauf_.Verworfen() > 0) {
        Hinweis->setText(QStringLiteral("Die ältesten %1 Messwerte sind nur noch in der Datei, "
                                        "nicht mehr im Verlauf.")
                             .arg(verlauf_.Verworfen()));
    }
}

QString TVerlaufFenster::Bildtitel() const {
    const TVerlaufBild bild = Ansicht->Bild();
    QStringList teile{bild.Reihe != nullptr ? Achsentitel(*bild.Reihe) : windowTitle()};
    const std::string anschluss = anschluss_ ? anschluss_() : std::string();
    if (!anschluss.empty()) {
        teile << QString::fromStdString(anschluss);
    }
    // The range's end is open: its last moment is a millisecond before.
    teile << QStringLiteral("%1 bis %2")
                 .arg(DatumZeitText(bild.VonMs), DatumZeitText(bild.BisMs - 1));
    return teile.join(QStringLiteral(" – "));
}

void TVerlaufFenster::Exportieren(const std::filesystem::path& datei) const {
    const QSize groesse = Ansicht->size();
    const QString titel = Bildtitel();
    DateiSchreiben(datei, [&](QSaveFile& ziel) {
        if (datei.extension() == ".svg" || datei.extension() == ".SVG") {
            QSvgGenerator svg;
            svg.setOutputDevice(&ziel);
            svg.setSize(groesse);
            svg.setViewBox(QRect(QPoint(0, 0), groesse));
            svg.setTitle(titel);
            QPainter maler(&svg);
            VerlaufZeichnen(maler, QRect(QPoint(0, 0), groesse), Ansicht->Bild(), titel);
        } else if (!Ansicht->AlsBild(groesse, titel).save(&ziel, "PNG")) {
            DateifehlerWerfen();
        }
    });
}

void TVerlaufFenster::Kopieren() const {
    QGuiApplication::clipboard()->setImage(Ansicht->AlsBild(Ansicht->size(), Bildtitel()));
}

void TVerlaufFenster::DatenExportieren(const std::filesystem::path& datei) const {
    static const TVerlaufReihe keine;
    const TVerlaufBild bild = Ansicht->Bild();
    DateiSchreiben(datei, [&](QSaveFile& ziel) {
        DatenExportSchreiben(bild.Reihe != nullptr ? *bild.Reihe : keine, bild.VonMs, bild.BisMs,
                             bild.Mittel, DezimalTrennzeichen(), [&](std::string_view teil) {
                                 errno = 0;
                                 const auto laenge = static_cast<qint64>(teil.size());
                                 if (ziel.write(teil.data(), laenge) != laenge) {
                                     DateifehlerWerfen();
                                 }
                             });
    });
}

void TVerlaufFenster::SpeichernFragen() {
    QString filter;
    const QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Verlauf speichern"), QStringLiteral("Verlauf.png"),
        QStringLiteral("PNG-Bild (*.png);;SVG-Grafik (*.svg)"), &filter);
    if (name.isEmpty()) {
        return;
    }
    Exportieren(MitEndung(name, filter.startsWith(QStringLiteral("SVG")) ? ".svg" : ".png"));
}

void TVerlaufFenster::DatenFragen() {
    const QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Daten exportieren"), QStringLiteral("Verlauf.txt"),
        QStringLiteral("Text mit Tabulatoren (*.txt);;Alle Dateien (*)"));
    if (name.isEmpty()) {
        return;
    }
    DatenExportieren(MitEndung(name, ".txt"));
}
