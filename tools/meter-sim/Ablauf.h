// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "tools/meter-sim/Anschluss.h"
#include "tools/meter-sim/Optionen.h"

#include <functional>
#include <string>

// Hands out the next record to send.
using TQuelle = std::function<TDatensatz()>;

// Sends the records of `quelle` through `anschluss` at the chosen interval and pace, and logs
// what the program writes to the meter on stderr. With DatensaetzeZeigen each record's
// description goes to stdout, one line each, once its last byte is written. With --unplug the
// line is unplugged and plugged in again in turn, and stdout gets "GETRENNT" once the line is
// closed and "VERBUNDEN <device>" once the link points to the new device. Returns when `stopFd`
// becomes readable (a signal arrived) or, with a count limit, shortly after the last record.
void Ablaufen(const TOptionen& optionen, const TQuelle& quelle, TAnschluss& anschluss, int stopFd);

// A received text readable on one log line: control bytes and bytes from 0x80 up written as
// <CR>, <LF>, <DC1>, <DC3> or <xx> in hex.
std::string Lesbar(const std::string& bytes);
