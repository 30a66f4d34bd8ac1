// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/About.h"

#include "app/AboutTexte.h"
#include "app/Speicherinfo.h"
#include "framework/widgets/JpegBild.h"
#include "mainwindow/LinkLabel.h"
#include "mainwindow/SRColorButton.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int Breite = 357;
constexpr int Hoehe = 260;

template <typename W>
W* Benannt(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void TextfarbeSetzen(QWidget* widget, const QColor& farbe) {
    QPalette farben = widget->palette();
    farben.setColor(QPalette::WindowText, farbe);
    widget->setPalette(farben);
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// The picture is kept as a JPEG among the program's resources.
QPixmap AboutBild() {
    QFile datei(QStringLiteral(":/about.jpg"));
    if (!datei.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QImage bild = JpegDekodieren(datei.readAll());
    return bild.isNull() ? QPixmap() : QPixmap::fromImage(bild);
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setModal(true);
    Aufbauen();
    Einfaerben();
    FormCreate();
    connect(SRColorButton4, &QPushButton::clicked, this, &TAboutBox::SRColorButton4Click);
}

void TAboutBox::Aufbauen() {
    setFixedSize(Breite, Hoehe);
    auto* spalte = new QVBoxLayout(this);
    spalte->setContentsMargins(0, 0, 0, 0);
    spalte->setSpacing(4);
    spalte->addWidget(Kopf());
    Bevel1 = Benannt(new QFrame(this), "Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    spalte->addWidget(Bevel1);
    spalte->addWidget(Speicherzeilen());
    spalte->addStretch(1);
    SRColorButton4 =
        Benannt(new TSRColorButton(QStringLiteral("&OK"),
                                   style()->standardIcon(QStyle::SP_DialogOkButton), this),
                "SRColorButton4");
    SRColorButton4->setDefault(true);
    SRColorButton4->setMinimumHeight(30);
    spalte->addWidget(SRColorButton4);
}

// The picture on the left, the texts and links right of it.
QWidget* TAboutBox::Kopf() {
    auto* kopf = new QWidget(this);
    auto* zeile = new QHBoxLayout(kopf);
    zeile->setContentsMargins(6, 6, 6, 0);
    ProgramIcon = Benannt(new QLabel(kopf), "ProgramIcon");
    ProgramIcon->setFixedSize(90, 125);
    ProgramIcon->setScaledContents(true);
    zeile->addWidget(ProgramIcon, 0, Qt::AlignTop);
    auto* texte = new QVBoxLayout;
    texte->setSpacing(2);
    Label1 = Benannt(new QLabel(kopf), "Label1");
    Label1->setWordWrap(true);
    TextfarbeSetzen(Label1, QColor(128, 0, 0));
    Label5 = Benannt(new QLabel(kopf), "Label5");
    Label2 = Benannt(new QLabel(kopf), "Label2");
    Emaillabel1 = Benannt(new TEmaillabel(kopf), "Emaillabel1");
    UrlLabel1 = Benannt(new TUrlLabel(kopf), "UrlLabel1");
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label5),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(Emaillabel1),
                       static_cast<QWidget*>(UrlLabel1)}) {
        texte->addWidget(w);
    }
    texte->addStretch(1);
    zeile->addLayout(texte, 1);
    return kopf;
}

QWidget* TAboutBox::Speicherzeilen() {
    auto* feld = new QWidget(this);
    auto* gitter = new QGridLayout(feld);
    gitter->setContentsMargins(6, 0, 6, 0);
    gitter->setVerticalSpacing(2);
    Label3 = Benannt(new QLabel(QStringLiteral("Verfügbarer Arbeitsspeicher:"), feld), "Label3");
    PhysMem = Benannt(new QLabel(feld), "PhysMem");
    Label4 = Benannt(new QLabel(QStringLiteral("Verwendeter Arbeitsspeicher:"), feld), "Label4");
    FreeRes = Benannt(new QLabel(feld), "FreeRes");
    gitter->addWidget(Label3, 0, 0);
    gitter->addWidget(PhysMem, 0, 1, Qt::AlignRight);
    gitter->addWidget(Label4, 1, 0);
    gitter->addWidget(FreeRes, 1, 1, Qt::AlignRight);
    return feld;
}

// The system's tooltip background with black text.
void TAboutBox::Einfaerben() {
    QPalette farben = palette();
    farben.setColor(QPalette::Window, farben.color(QPalette::ToolTipBase));
    farben.setColor(QPalette::WindowText, Qt::black);
    setPalette(farben);
    setAutoFillBackground(true);
    TextfarbeSetzen(Label1, QColor(128, 0, 0));
}

void TAboutBox::FormCreate() {
    const QString programm = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    setWindowTitle(Text(AboutTitel(programm.toStdString())));
    // A label breaks lines at line feeds only.
    Label1->setText(Text(AboutKurztext()).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    Label5->setText(Text(AboutStand()));
    Label2->setText(QStringLiteral("© 2004–2026 die Quorlits-Entwickler"));
    Emaillabel1->Recipient = QStringLiteral("quorlits@example.org");
    Emaillabel1->Subject = QStringLiteral("TEmailLabel");
    Emaillabel1->setText(QStringLiteral("Email: ") + Emaillabel1->Recipient);
    UrlLabel1->URL = QStringLiteral("https://quorlits.example.org/");
    UrlLabel1->setText(QStringLiteral("Web: ") + UrlLabel1->URL);
    const TSpeicherStand speicher = SpeicherStandLesen();
    PhysMem->setText(Text(PhysMemText(speicher.GesamtBytes)));
    FreeRes->setText(Text(FreeResText(speicher.LastProzent)));
    ProgramIcon->setPixmap(AboutBild());
}

void TAboutBox::SRColorButton4Click() {
    accept();
}

void TAboutBox::showEvent(QShowEvent* event) {
    Zentrieren();
    QDialog::showEvent(event);
}

// Client area on client area; move() places the frame, whose margins are known once the box
// has its window.
void TAboutBox::Zentrieren() {
    if (const QWidget* eltern = parentWidget()) {
        const QRect fenster = eltern->window()->geometry();
        const QPoint rand = geometry().topLeft() - frameGeometry().topLeft();
        move(fenster.topLeft() - rand +
             QPoint((fenster.width() - width()) / 2, (fenster.height() - height()) / 2));
    }
}
