// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/CPortCtl.h"

#include "serial/ComErrorHook.h"
#include "serial/CustomComPort.h"
#include "serial/platform/PortName.h"

#include <exception>

#include <QString>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

TComComboBox::TComComboBox(QWidget* parent)
    : QComboBox(parent) {
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int index) { UserChoice(index); });
}

TComComboBox::~TComComboBox() {
    if (TCustomComPort* port = select_.ComPort()) {
        port->RemoveFreeNotification(freeNotification_);
    }
}

void TComComboBox::SetComPort(TCustomComPort* value) {
    TCustomComPort* old = select_.ComPort();
    if (value == old) {
        return;
    }
    if (old != nullptr) {
        old->RemoveFreeNotification(freeNotification_);
        freeNotification_ = 0;
    }
    select_.SetComPort(value);
    if (value != nullptr) {
        freeNotification_ =
            value->AddFreeNotification([this](TCustomComPort&) { PortDestroyed(); });
        ReadFromPort();
    }
}

void TComComboBox::SetComProperty(TComProperty value) {
    select_.SetComProperty(value);
    FillItems();
}

std::string TComComboBox::Text() const {
    return currentIndex() >= 0 ? currentText().toStdString() : std::string();
}

void TComComboBox::SetText(const std::string& value) {
    const int index = FindText(value);
    if (index >= 0) {
        SelectItem(index);
    }
}

void TComComboBox::FillItems() {
    // Read the choices first: a device list that cannot be read leaves the list as it was.
    const std::vector<std::string> items = select_.Items();
    clear();
    for (const std::string& item : items) {
        addItem(ToQString(item));
    }
    if (count() == 0) {
        return;
    }
    if (select_.ComPort() == nullptr) {
        SelectItem(0);
    } else {
        ReadFromPort();
    }
}

void TComComboBox::ReadFromPort() {
    if (select_.ComPort() == nullptr || select_.ComProperty() == cpNone) {
        return;
    }
    const std::string value = select_.PortValueText();
    int index = FindText(value);
    if (index < 0 && select_.ComProperty() == cpPort && !value.empty()) {
        index = PortEntry(value);
    }
    if (index < 0) {
        setCurrentIndex(-1);
        return;
    }
    SelectItem(index);
}

int TComComboBox::PortEntry(const std::string& name) {
    // A name such as "COM1" stands for a device of the list ("/dev/ttyS0").
    const int index = FindText(DevicePathOfPort(name));
    if (index >= 0) {
        return index;
    }
    addItem(ToQString(name));
    return count() - 1;
}

int TComComboBox::FindText(const std::string& text) const {
    const QString wanted = ToQString(text);
    for (int i = 0; i < count(); ++i) {
        if (itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void TComComboBox::SelectItem(int index) {
    setCurrentIndex(index);
    select_.TakeText(itemText(index).toStdString());
}

void TComComboBox::UserChoice(int index) {
    // Called from Qt's event loop, which no exception may cross.
    try {
        select_.Choose(index >= 0 ? itemText(index).toStdString() : std::string());
        if (OnChange) {
            OnChange(this);
        }
    } catch (...) {
        ReportComError(std::current_exception());
    }
}

void TComComboBox::PortDestroyed() {
    select_.SetComPort(nullptr);
    freeNotification_ = 0;
    if (count() > 0) {
        setCurrentIndex(0);
    }
}
