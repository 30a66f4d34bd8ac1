// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Rueckstau.h"

void TRueckstau::Anhaengen(std::string_view einheit) {
    einheiten_.emplace_back(einheit);
    bytes_ += einheit.size();
    while (einheiten_.size() > 1 &&
           (einheiten_.size() > hoechstAnzahl_ || bytes_ > hoechstBytes_)) {
        Verwerfen();
    }
}

void TRueckstau::ErsteEntfernen() {
    bytes_ -= einheiten_.front().size();
    einheiten_.pop_front();
}

void TRueckstau::Verwerfen() {
    ++verloren_;
    verloreneBytes_ += einheiten_.front().size();
    ErsteEntfernen();
}

void TRueckstau::AllesVerwerfen() {
    while (!einheiten_.empty()) {
        Verwerfen();
    }
}
