// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/widgets/CPortCtl.h"

#include "serial/ComErrorHook.h"
#include "serial/ComPortDevices.h"
#include "serial/ComPortWatch.h"
#include "serial/CustomComPort.h"
#include "serial/platform/PortName.h"

#include <exception>
#include <utility>

#include <QAbstractItemView>
#include <QString>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// Shows an entry of the open device list by its description where it has one.
class TDeviceItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant description = index.data(TComComboBox::DescriptionRole);
        if (description.isValid()) {
            option->text = description.toString();
        }
    }
};

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
    FollowDevices(value == cpPort);
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
    if (select_.ComProperty() == cpPort) {
        ShowDevices(ListComPortDevices());
    } else {
        const std::vector<std::string> items = select_.Items();
        clear();
        for (const std::string& item : items) {
            addItem(ToQString(item));
        }
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

void TComComboBox::ShowDevices(std::vector<TSerialDevice> devices) {
    devices_ = std::move(devices);
    clear();
    for (const TSerialDevice& device : devices_) {
        addItem(ToQString(device.Name));
        setItemData(count() - 1, ToQString(ComPortDeviceText(device)), DescriptionRole);
        const std::string details = ComPortDeviceDetails(device);
        if (!details.empty()) {
            setItemData(count() - 1, ToQString(details), Qt::ToolTipRole);
        }
    }
    // The open list is as wide as its longest description, the closed one fits the names.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) +
                            style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void TComComboBox::FollowDevices(bool follow) {
    if (follow && watch_ == nullptr) {
        setItemDelegate(new TDeviceItemDelegate(view()));
        watch_ = new TComPortWatch(this);
        connect(watch_, &TComPortWatch::DevicesChanged, this, [this] { ShowPluggedDevices(); });
    } else if (!follow && watch_ != nullptr) {
        delete watch_;
        watch_ = nullptr;
        devices_.clear();
        view()->setMinimumWidth(0);
    }
}

void TComComboBox::ShowPluggedDevices() {
    // Called from Qt's event loop, which no exception may cross.
    try {
        std::vector<TSerialDevice> devices = ListComPortDevices();
        listFailed_ = false;
        if (devices == devices_) {
            return;
        }
        const std::string chosen = Text();
        ShowDevices(std::move(devices));
        // The chosen device stays chosen; one that went away stays as its name alone, so the
        // user's choice is never changed behind his back.
        int index = FindText(chosen);
        if (index < 0 && !chosen.empty()) {
            addItem(ToQString(chosen));
            index = count() - 1;
        }
        if (index >= 0) {
            setCurrentIndex(index);
        } else if (count() > 0) {
            SelectItem(0);
        }
    } catch (...) {
        if (!listFailed_) {
            listFailed_ = true;
            ReportComError(std::current_exception());
        }
    }
}
