// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/widgets/VerlaufFenster.h"

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
#include <QSvgGenerator>
#include <QTimer>

#include <cerrno>

namespace {

// The errno of a failed open or write, or EIO where the library left none.
[[noreturn]] void DateifehlerWerfen() {
    const int fehler = errno;
    throw EInOutError::AusErrno(fehler != 0 ? fehler : EIO);
}

} // namespace

TVerlaufFenster::TVerlaufFenster(const TVerlauf& verlauf, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , verlauf_(verlauf) {
    setObjectName(QStringLiteral("Verlauf"));
    setWindowTitle(QStringLiteral("Verlauf"));
    Ansicht = new TVerlaufAnsicht(verlauf, this);
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
    Hinweis = new QLabel(this);
    Hinweis->setObjectName(QStringLiteral("Verlaufshinweis"));
    Hinweis->setText(
        QStringLiteral("Mausrad: Zoom, Ziehen: Bereich wählen, rechte Taste: verschieben"));

    auto* leiste = new QHBoxLayout;
    for (QWidget* w :
         {static_cast<QWidget*>(Reihenwahl), static_cast<QWidget*>(MittelZeigen),
          static_cast<QWidget*>(AllesZeigenKnopf), static_cast<QWidget*>(SpeichernKnopf),
          static_cast<QWidget*>(KopierenKnopf)}) {
        leiste->addWidget(w);
    }
    leiste->addStretch();
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(leiste);
    spalte->addWidget(Ansicht, 1);
    spalte->addWidget(Hinweis);

    connect(Reihenwahl, &QComboBox::activated, this,
            [this](int index) { Ansicht->SetReihe(Reihenwahl->itemData(index).toInt()); });
    connect(MittelZeigen, &QCheckBox::toggled, Ansicht, &TVerlaufAnsicht::SetMittel);
    connect(AllesZeigenKnopf, &QPushButton::clicked, Ansicht, &TVerlaufAnsicht::AllesZeigen);
    connect(SpeichernKnopf, &QPushButton::clicked, this,
            [this] { Behandeln([this] { SpeichernFragen(); }); });
    connect(KopierenKnopf, &QPushButton::clicked, this, [this] { Kopieren(); });

    takt_ = new QTimer(this);
    takt_->setObjectName(QStringLiteral("Verlaufstakt"));
    takt_->setInterval(TaktMs);
    connect(takt_, &QTimer::timeout, this, &TVerlaufFenster::Auffrischen);
    resize(860, 480);
}

void TVerlaufFenster::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Auffrischen();
    takt_->start();
}

void TVerlaufFenster::hideEvent(QHideEvent* event) {
    takt_->stop();
    QWidget::hideEvent(event);
}

void TVerlaufFenster::ReihenwahlAuffrischen() {
    const auto& reihen = verlauf_.Reihen();
    if (Reihenwahl->count() == static_cast<int>(reihen.size()) + 1) {
        return;
    }
    const int gewaehlt = Reihenwahl->currentData().toInt();
    while (Reihenwahl->count() > 1) {
        Reihenwahl->removeItem(1);
    }
    for (std::size_t i = 0; i < reihen.size(); ++i) {
        Reihenwahl->addItem(Achsentitel(reihen[i]), static_cast<int>(i));
    }
    // A chart emptied for a new measurement follows the newest series again.
    const int index = Reihenwahl->findData(gewaehlt);
    Reihenwahl->setCurrentIndex(index < 0 ? 0 : index);
    if (index < 0) {
        Ansicht->SetReihe(-1);
    }
}

void TVerlaufFenster::Auffrischen() {
    ReihenwahlAuffrischen();
    if (verlauf_.Verworfen() > 0) {
        Hinweis->setText(QStringLiteral("Die ältesten %1 Messwerte sind nur noch in der Datei, "
                                        "nicht mehr im Verlauf.")
                             .arg(verlauf_.Verworfen()));
    }
    Ansicht->Auffrischen();
}

void TVerlaufFenster::Exportieren(const std::filesystem::path& datei) const {
    QSaveFile ziel(QString::fromStdString(datei.string()));
    errno = 0;
    if (!ziel.open(QIODevice::WriteOnly)) {
        DateifehlerWerfen();
    }
    const QSize groesse = Ansicht->size();
    if (datei.extension() == ".svg" || datei.extension() == ".SVG") {
        QSvgGenerator svg;
        svg.setOutputDevice(&ziel);
        svg.setSize(groesse);
        svg.setViewBox(QRect(QPoint(0, 0), groesse));
        svg.setTitle(windowTitle());
        QPainter maler(&svg);
        VerlaufZeichnen(maler, QRect(QPoint(0, 0), groesse), Ansicht->Bild());
    } else if (!Ansicht->AlsBild(groesse).save(&ziel, "PNG")) {
        DateifehlerWerfen();
    }
    errno = 0;
    if (!ziel.commit()) {
        DateifehlerWerfen();
    }
}

void TVerlaufFenster::Kopieren() const {
    QGuiApplication::clipboard()->setImage(Ansicht->AlsBild(Ansicht->size()));
}

void TVerlaufFenster::SpeichernFragen() {
    QString filter;
    const QString name = QFileDialog::getSaveFileName(
        this, QStringLiteral("Verlauf speichern"), QStringLiteral("Verlauf.png"),
        QStringLiteral("PNG-Bild (*.png);;SVG-Grafik (*.svg)"), &filter);
    if (name.isEmpty()) {
        return;
    }
    std::filesystem::path datei = name.toStdString();
    if (datei.extension().empty()) {
        datei += filter.startsWith(QStringLiteral("SVG")) ? ".svg" : ".png";
    }
    Exportieren(datei);
}
