// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Teile.h"

std::vector<std::string_view> Teile(std::string_view text, char trenner) {
    std::vector<std::string_view> teile;
    std::size_t anfang = 0;
    for (std::size_t stelle = text.find(trenner); stelle != std::string_view::npos;
         stelle = text.find(trenner, anfang)) {
        teile.push_back(text.substr(anfang, stelle - anfang));
        anfang = stelle + 1;
    }
    teile.push_back(text.substr(anfang));
    return teile;
}
