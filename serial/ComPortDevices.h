// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"
#include "serial/platform/SerialIdentity.h"

#include <string>
#include <vector>

// The serial devices as the serial component shows and finds them: with what a user recognises
// an adapter by, and by identity for a port whose adapter was plugged in again.

// The tree the device lists are read from: the system's unless a test set a fake one.
void SetComPortDeviceTree(TDeviceTree tree);
const TDeviceTree& ComPortDeviceTree();

// The /dev paths of the serial devices as sysfs lists them, sorted. A list that cannot be read
// raises EComPort code 23 with the errno.
std::vector<std::string> ListComPortNames();

// The serial devices with their descriptions, sorted as EnumerateComPorts sorts. A list that
// cannot be read raises EComPort code 23 with the errno.
std::vector<TSerialDevice> ListComPortDevices();

// The identity of the adapter that the port name `portName` opens ("COM1", "/dev/ttyUSB0", a
// by-id name, any link to the device); empty when it names no serial device or one not on USB.
// Raises as ListComPortDevices.
TPortIdentity ComPortIdentity(const std::string& portName);

// The device that has `identity` now, under whatever name. Raises as ListComPortDevices.
TPortMatch FindComPort(const TPortIdentity& identity);

// Where the adapter of a port that lost it can be opened again.
enum class TReturnKind {
    SameName, // by the name the port had: no identity to go by, or the name leads to the adapter
    NewName,  // the adapter came back under another name
    Absent,   // the adapter is not plugged in
    Stranger, // not plugged in, and another device has the port's name
    Several,  // more than one adapter has the identity: none is guessed
};
struct TPortReturn {
    TReturnKind Kind = TReturnKind::Absent;
    // The name to open (SameName, NewName) or the device under the port's name (Stranger).
    std::string Name;
};

// Looks for the adapter with `identity` that the port `portName` had: by identity when there is
// one, whatever name the system gave it now; a device of another identity is never offered.
// Raises as ListComPortDevices.
TPortReturn LocateReturningPort(const std::string& portName, const TPortIdentity& identity);

// The entry of `device` in a device list: its name and what a user recognises it by, e.g.
// "/dev/ttyUSB0 — FTDI FT232R USB UART, Nr. A50285BI (ftdi_sio)"; a device that tells nothing
// about itself is shown by its name alone.
std::string ComPortDeviceText(const TSerialDevice& device);

// More about `device`, one fact a line: its by-id names, the USB port and numbers.
std::string ComPortDeviceDetails(const TSerialDevice& device);
