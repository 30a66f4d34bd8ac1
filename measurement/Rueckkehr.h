// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialIdentity.h"

#include <string>

class EComPort;

// The wait for a device that went away during a measurement, as the window and the window-free
// logger both do it.

// Why the device cannot be used, in the words a user looks for ("Gerät nicht vorhanden",
// "keine Zugriffsrechte", ...), for the errno `fehler`.
std::string VerbindungsGrund(int fehler);

// Why opening the port failed: the reason of its errno, or the port's own text without one.
std::string OeffnenGrund(const EComPort& fehler);

// The name under which the port that measured on `messName` with the adapter `adapter` can be
// opened now, or empty while the adapter is not back; then `grund` says why.
std::string RueckkehrName(const std::string& messName, const TPortIdentity& adapter,
                          std::string& grund);
