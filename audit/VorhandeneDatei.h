// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <optional>
#include <string>

// The bytes of the file `pfad`; nothing when it does not exist. Any other failure raises
// EInOutError.
std::optional<std::string> VorhandeneDateiLesen(const std::string& pfad);
