// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/platform/SerialIdentity.h"

#include <string>

// The name a meter goes by in its topics: its USB adapter's maker, product and serial number
// (the USB port where it has none) when known, else the port's name.
std::string MessgeraetName(const TPortIdentity& adapter, const std::string& port);
