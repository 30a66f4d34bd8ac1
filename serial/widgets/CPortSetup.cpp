// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/CPortSetup.h"

#include "serial/CustomComPort.h"
#include "serial/widgets/CPortCtl.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cstddef>

namespace {

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, QRect geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* SettingLabel(QWidget* parent, const char* name, const QString& caption, int top) {
    auto* label = Placed(new QLabel(caption, parent), name, QRect(8, top, 70, 16));
    label->adjustSize();
    return label;
}

TComComboBox* SettingList(QWidget* parent, const char* name, TComProperty property, int top) {
    auto* list = Placed(new TComComboBox(parent), name, QRect(80, top, 129, 21));
    list->SetComProperty(property);
    return list;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left) {
    return Placed(new QPushButton(caption, parent), name, QRect(left, 184, 75, 25));
}

} // namespace

TComSetupFrm::TComSetupFrm(QWidget* parent)
    : QDialog(parent)
    , GroupBox1(Placed(new QGroupBox(QStringLiteral(" Settings "), this), "GroupBox1",
                       QRect(8, 8, 217, 169)))
    , Label1(SettingLabel(GroupBox1, "Label1", QStringLiteral("Port"), 24))
    , Label2(SettingLabel(GroupBox1, "Label2", QStringLiteral("Baud rate"), 48))
    , Label3(SettingLabel(GroupBox1, "Label3", QStringLiteral("Data bits"), 72))
    , Label4(SettingLabel(GroupBox1, "Label4", QStringLiteral("Stop bits"), 96))
    , Label5(SettingLabel(GroupBox1, "Label5", QStringLiteral("Parity"), 120))
    , Label6(SettingLabel(GroupBox1, "Label6", QStringLiteral("Flow control"), 144))
    , Combo1(SettingList(GroupBox1, "Combo1", cpPort, 16))
    , Combo2(SettingList(GroupBox1, "Combo2", cpBaudRate, 40))
    , Combo3(SettingList(GroupBox1, "Combo3", cpDataBits, 64))
    , Combo4(SettingList(GroupBox1, "Combo4", cpStopBits, 88))
    , Combo5(SettingList(GroupBox1, "Combo5", cpParity, 112))
    , Combo6(SettingList(GroupBox1, "Combo6", cpFlowControl, 136))
    , CancelButton(Button(this, "CancelButton", QStringLiteral("OK"), 70))
    , OKButton(Button(this, "OKButton", QStringLiteral("Cancel"), 150)) {
    setObjectName(QStringLiteral("ComSetupFrm"));
    setWindowTitle(QStringLiteral("Setup"));
    setModal(true);
    FitLists();
    CancelButton->setDefault(true);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::reject);
    const std::array<QWidget*, 8> tabOrder{Combo1, Combo2, Combo3,       Combo4,
                                           Combo5, Combo6, CancelButton, OKButton};
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TComSetupFrm::FitLists() {
    // The lists stand right of the longest caption; with a larger font than the layout was made
    // for, they and the dialog move right instead of covering the captions.
    const std::array<QLabel*, 6> labels{Label1, Label2, Label3, Label4, Label5, Label6};
    int left = 80;
    for (const QLabel* label : labels) {
        left = std::max(left, label->geometry().right() + 8);
    }
    for (TComComboBox* combo : Combos()) {
        combo->move(left, combo->y());
    }
    GroupBox1->resize(left + 129 + 8, GroupBox1->height());
    setFixedSize(std::max(231, GroupBox1->geometry().right() + 8), 216);
}

std::array<TComComboBox*, 6> TComSetupFrm::Combos() const {
    return {Combo1, Combo2, Combo3, Combo4, Combo5, Combo6};
}

void RunSetupDialog(TCustomComPort& port) {
    TComSetupFrm dialog;
    const auto combos = dialog.Combos();
    for (TComComboBox* combo : combos) {
        combo->SetComPort(&port);
    }
    for (TComComboBox* combo : combos) {
        combo->ReadFromPort();
    }
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    port.BeginUpdate();
    try {
        for (TComComboBox* combo : combos) {
            combo->ApplyToPort();
        }
    } catch (...) {
        // Without the end of the batch the port would store every later setting and apply none.
        try {
            port.EndUpdate();
        } catch (...) {
            // The first failure is the one the user needs to see.
        }
        throw;
    }
    port.EndUpdate();
}
