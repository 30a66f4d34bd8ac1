// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The controls of the serial component: the line lamp, the device list and the setting lists.
#include "serial/platform/SerialDevice.h"
#include "serial/widgets/ComLed.h"
#include "serial/widgets/ComPortList.h"
#include "serial/widgets/ComSelect.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <vector>

class TCustomComPort;
class TComComboBox;
class TComPortWatch;

using TComComboBoxEvent = std::function<void(TComComboBox* Sender)>;

// A drop-down list (no typing) bound to one setting of one port. It fills its choices itself
// when its setting is set, shows the port's current value, holds the user's choice and writes
// it into the port on ApplyToPort (or at once with AutoApply). When the bound port is
// destroyed the list forgets it.
//
// The device list (cpPort) holds the device names as its items, so the closed list shows the
// name and a choice selects exactly it; the open list shows each device with what a user
// recognises it by (DescriptionRole), the tip its by-id names. It follows devices being plugged
// in and out while it exists, keeping the selected name.
class TComComboBox : public QComboBox {
public:
    static constexpr int DescriptionRole = Qt::UserRole + 1;

    explicit TComComboBox(QWidget* parent = nullptr);
    ~TComComboBox() override;
    TComComboBox(const TComComboBox&) = delete;
    TComComboBox& operator=(const TComComboBox&) = delete;

    TCustomComPort* ComPort() const noexcept { return select_.ComPort(); }
    void SetComPort(TCustomComPort* value);
    TComProperty ComProperty() const noexcept { return select_.ComProperty(); }
    void SetComProperty(TComProperty value);
    bool AutoApply() const noexcept { return select_.AutoApply(); }
    void SetAutoApply(bool value) noexcept { select_.SetAutoApply(value); }

    // The selected item's text, empty when nothing is selected.
    std::string Text() const;
    // Selects the item equal to `value` without regard to letter case and holds it; a text
    // that matches no item is ignored.
    void SetText(const std::string& value);

    // Clears the list and fills it with the setting's choices; selects the first one without a
    // port, else the port's current value.
    void FillItems();
    // Selects the item matching the port's current value and holds it. A port name that stands
    // for a device of the list ("COM1" for "/dev/ttyS0") selects that device's entry; any other
    // name that is not among the system's devices is appended and selected, so confirming
    // keeps it.
    void ReadFromPort();
    void ApplyToPort() { select_.ApplyToPort(); }

    const TComSelect& Select() const noexcept { return select_; }

    // Runs after a choice of the user has been held (and applied with AutoApply).
    TComComboBoxEvent OnChange;

private:
    int FindText(const std::string& text) const;
    // The entry of a port name that no entry shows as it is: its device's, else a new one.
    int PortEntry(const std::string& name);
    void SelectItem(int index);
    void UserChoice(int index);
    void PortDestroyed();
    // The device list: its entries, and the watch that keeps them current.
    void ShowDevices(std::vector<TSerialDevice> devices);
    void FollowDevices(bool follow);
    void ShowPluggedDevices();

    TComSelect select_;
    int freeNotification_ = 0;
    std::vector<TSerialDevice> devices_;
    TComPortWatch* watch_ = nullptr;
    // A device list that could not be read is reported once, not at every change after it.
    bool listFailed_ = false;
};
