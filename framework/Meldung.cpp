// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Meldung.h"

#include <cerrno>
#include <cstring>
#include <utility>

EMeldung::EMeldung(const std::string& text, TMeldungsBezug bezug, std::exception_ptr komponente)
    : std::runtime_error(text)
    , bezug_(std::move(bezug))
    , komponente_(std::move(komponente)) {}

namespace {

std::string GeraeteGrund(int fehler) {
    switch (fehler) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "nicht vorhanden";
    case EACCES:
    case EPERM:
        return "keine Zugriffsrechte";
    case EBUSY:
    case EWOULDBLOCK:
        return "wird von einem anderen Programm benutzt";
    case EIO:
        return "Verbindung unterbrochen";
    case ENOTTY:
        return "ist keine serielle Schnittstelle";
    default:
        return std::strerror(fehler);
    }
}

} // namespace

std::string GeraeteZeile(const TMeldungsBezug& bezug) {
    if (bezug.Geraet.empty() || bezug.Systemfehler == 0) {
        return {};
    }
    return "Gerät " + bezug.Geraet + ": " + GeraeteGrund(bezug.Systemfehler);
}

std::string MeldungsText(const std::exception_ptr& fehler) {
    try {
        std::rethrow_exception(fehler);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unbekannter Fehler";
    }
}

EMeldung AlsMeldung(const std::string& vorsatz, TMeldungsBezug bezug) {
    const std::exception_ptr fehler = std::current_exception();
    try {
        std::rethrow_exception(fehler);
    } catch (const EMeldung& meldung) {
        return meldung;
    } catch (...) {
        return EMeldung(vorsatz + MeldungsText(fehler), std::move(bezug), fehler);
    }
}
