// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG file held in memory with libjpeg's own interface into an RGB888 picture. Any
// fault of the data (not a JPEG, cut short, a colour model without an RGB conversion, a picture
// too large to hold) gives a null picture; nothing is written to the terminal and the process
// never ends. libjpeg's warnings about damaged data count as faults, so a damaged file never
// shows as a half grey picture.
QImage JpegDekodieren(const QByteArray& daten);
