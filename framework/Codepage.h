// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QString>
#include <string_view>

// The meter's text is code page 850 (its degree sign is the byte 0xF8). Received bytes stay
// bytes for processing and are decoded only for display, so the user sees "°" and umlauts.
QString Cp850ZuText(std::string_view bytes);
