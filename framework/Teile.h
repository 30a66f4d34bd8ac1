// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string_view>
#include <vector>

// The pieces of `text` between the separators, empty ones included: "a//b" gives "a", "", "b";
// an empty text gives one empty piece. The pieces point into `text`.
std::vector<std::string_view> Teile(std::string_view text, char trenner);
