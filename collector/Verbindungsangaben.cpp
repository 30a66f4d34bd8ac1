// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "collector/Verbindungsangaben.h"

#include "collector/Datenbank.h"

#include <libpq-fe.h>

#include <memory>

namespace {

struct TAngabenFreigeben {
    void operator()(PQconninfoOption* angaben) const { PQconninfoFree(angaben); }
};

} // namespace

TVerbindungsangaben VerbindungsangabenLesen(const std::string& verbindung) {
    char* fehler = nullptr;
    const std::unique_ptr<PQconninfoOption, TAngabenFreigeben> angaben(
        PQconninfoParse(verbindung.c_str(), &fehler));
    if (!angaben) {
        std::string text = "Die Datenbankverbindung ist nicht lesbar";
        if (fehler != nullptr) {
            text += ": " + std::string(fehler);
            PQfreemem(fehler);
        }
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
            text.pop_back();
        }
        throw EDatenbank(text, false);
    }
    TVerbindungsangaben ergebnis;
    bool mitFrist = false;
    for (const PQconninfoOption* angabe = angaben.get(); angabe->keyword != nullptr; ++angabe) {
        if (angabe->val != nullptr) {
            ergebnis.Namen.emplace_back(angabe->keyword);
            ergebnis.Werte.emplace_back(angabe->val);
            mitFrist = mitFrist || ergebnis.Namen.back() == "connect_timeout";
        }
    }
    if (!mitFrist) {
        ergebnis.Namen.emplace_back("connect_timeout");
        ergebnis.Werte.push_back(std::to_string(VerbindungsfristS));
    }
    return ergebnis;
}
