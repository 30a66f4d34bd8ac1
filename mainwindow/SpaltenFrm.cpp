// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/SpaltenFrm.h"

#include "framework/widgets/PBSpinEdit.h"
#include "mainwindow/DialogTeile.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TSpalten_Form::TSpalten_Form(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("Spalten_Form"));
    setWindowTitle(QStringLiteral("Tabellenoptionen"));
    setModal(true);

    Label1 = Benannt(new QLabel(QStringLiteral("Anzahl Spalten:"), this), "Label1");
    PBSpinEdit1 = Zahlfeld("PBSpinEdit1", 5, 50, 20, this);
    Label2 = Benannt(new QLabel(QStringLiteral("Breite der Spalten:"), this), "Label2");
    PBSpinEdit2 = Zahlfeld("PBSpinEdit2", 5, 300, 21, this);
    OKButton = Benannt(new QPushButton(QStringLiteral("OK"), this), "OKButton");
    CancelButton = Benannt(new QPushButton(QStringLiteral("Abbruch"), this), "CancelButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* felder = new QGridLayout;
    felder->addWidget(Label1, 0, 0);
    felder->addWidget(PBSpinEdit1, 0, 1);
    felder->addWidget(Label2, 1, 0);
    felder->addWidget(PBSpinEdit2, 1, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(CancelButton);
    knoepfe->addWidget(OKButton);
    auto* spalte = new QVBoxLayout(this);
    spalte->addLayout(felder);
    spalte->addStretch(1);
    spalte->addLayout(knoepfe);

    // The width field comes before the count field.
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, PBSpinEdit2);
    setTabOrder(PBSpinEdit2, PBSpinEdit1);
    // The listed size, grown where this system's font needs more room than the design had.
    setFixedSize(minimumSizeHint().expandedTo(QSize(200, 143)));
}

void TSpalten_Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    DialogZeigen(*this, *OKButton);
}
