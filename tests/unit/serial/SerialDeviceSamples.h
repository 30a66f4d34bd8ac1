// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialDevice.h"

#include <string>

// Devices as the lists describe them, for the tests of identities and descriptions.
inline TSerialDevice FtdiAdapter(const std::string& name, const std::string& serial,
                                 const std::string& usbPort = "1-1.2") {
    TSerialDevice device;
    device.Name = name;
    device.ById = {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_" + serial + "-if00-port0"};
    device.VendorId = "0403";
    device.ProductId = "6001";
    device.Maker = "FTDI";
    device.Product = "FT232R USB UART";
    device.Serial = serial;
    device.UsbPort = usbPort;
    device.Interface = "00";
    device.PortNumber = "0";
    device.Driver = "ftdi_sio";
    return device;
}

// A CH340 adapter: no manufacturer string, no serial number.
inline TSerialDevice Ch340Adapter(const std::string& name, const std::string& usbPort) {
    TSerialDevice device;
    device.Name = name;
    device.VendorId = "1a86";
    device.ProductId = "7523";
    device.Product = "USB Serial";
    device.UsbPort = usbPort;
    device.Interface = "00";
    device.PortNumber = "0";
    device.Driver = "ch341";
    return device;
}

inline TSerialDevice MainboardPort(const std::string& name) {
    TSerialDevice device;
    device.Name = name;
    device.Driver = "serial8250";
    return device;
}
