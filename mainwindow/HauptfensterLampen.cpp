// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "serial/ComPort.h"
#include "serial/widgets/CPortCtl.h"

#include <QBoxLayout>
#include <QLabel>

#include <array>

namespace {

struct TLampe {
    const char* Name;
    const char* Beschriftung;
    const char* Beschriftungsname;
    TComLedSignal Signal;
    TLedKind Art;
    int Links;
};

constexpr std::array<TLampe, 6> Lampen{{
    {"ComLed1", "CTS", "Label1", lsCTS, lkPurpleLight, 16},
    {"ComLed2", "DSR", "Label2", lsDSR, lkPurpleLight, 72},
    {"ComLed3", "RLSD", "Label3", lsRLSD, lkPurpleLight, 136},
    {"ComLed4", "Ring", "Label4", lsRing, lkYellowLight, 208},
    {"ComLed5", "Tx", "Label5", lsTx, lkRedLight, 280},
    {"ComLed6", "Rx", "Label6", lsRx, lkRedLight, 336},
}};

constexpr int LampenOben = 8;
constexpr int BeschriftungOben = 32;
constexpr int LampenGroesse = 25;
constexpr int BeschriftungBreite = 45;
constexpr int FeldBreite = 370;
constexpr int FeldHoehe = 50;

} // namespace

void TForm1::LampenAufbauen(QWidget* panel) {
    // The lamps sit at fixed places on the left of the panel, in front of its stretch; the
    // field is shifted by the layout's margins so the places count from the panel's edge.
    auto* zeile = qobject_cast<QBoxLayout*>(panel->layout());
    const QMargins rand = zeile != nullptr ? zeile->contentsMargins() : QMargins();
    auto* feld = new QWidget(panel);
    feld->setObjectName(QStringLiteral("Lampenfeld"));
    feld->setFixedSize(FeldBreite, FeldHoehe);
    std::array<TComLed*, 6> lampen{};
    for (std::size_t i = 0; i < Lampen.size(); ++i) {
        const TLampe& art = Lampen[i];
        const int links = art.Links - rand.left();
        auto* lampe = new TComLed(feld);
        lampe->setObjectName(QString::fromLatin1(art.Name));
        lampe->setGeometry(links, LampenOben - rand.top(), LampenGroesse, LampenGroesse);
        lampe->SetLedSignal(art.Signal);
        lampe->SetKind(art.Art);
        lampe->SetComPort(&ComPort());
        auto* beschriftung = new QLabel(QString::fromLatin1(art.Beschriftung), feld);
        beschriftung->setObjectName(QString::fromLatin1(art.Beschriftungsname));
        beschriftung->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        beschriftung->setGeometry(links + (LampenGroesse - BeschriftungBreite) / 2,
                                  BeschriftungOben - rand.top(), BeschriftungBreite, 16);
        lampen[i] = lampe;
    }
    ComLed1 = lampen[0];
    ComLed2 = lampen[1];
    ComLed3 = lampen[2];
    ComLed4 = lampen[3];
    ComLed5 = lampen[4];
    ComLed6 = lampen[5];
    if (zeile != nullptr) {
        zeile->insertWidget(0, feld);
    }
}
