// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "measurement/Rueckkehr.h"

#include "serial/ComPortDevices.h"
#include "serial/EComPort.h"
#include "storage/SystemText.h"

#include <cerrno>

std::string VerbindungsGrund(int fehler) {
    switch (fehler) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Gerät nicht vorhanden";
    case EIO:
        return "Verbindung unterbrochen";
    case EACCES:
    case EPERM:
        return "keine Zugriffsrechte";
    case EBUSY:
    case EWOULDBLOCK:
        return "Gerät belegt";
    default:
        return SystemFehlerText(fehler);
    }
}

std::string OeffnenGrund(const EComPort& fehler) {
    return fehler.SystemCode() > 0 ? VerbindungsGrund(fehler.SystemCode()) : fehler.what();
}

std::string RueckkehrName(const std::string& messName, const TPortIdentity& adapter,
                          std::string& grund) {
    TPortReturn rueckkehr;
    try {
        rueckkehr = LocateReturningPort(messName, adapter);
    } catch (const EComPort& fehler) {
        grund = "Geräteliste nicht lesbar: " + VerbindungsGrund(fehler.SystemCode());
        return {};
    }
    switch (rueckkehr.Kind) {
    case TReturnKind::SameName:
    case TReturnKind::NewName:
        return rueckkehr.Name;
    case TReturnKind::Absent:
        grund = "Adapter nicht angeschlossen";
        break;
    case TReturnKind::Stranger:
        grund = "unter " + rueckkehr.Name + " steckt ein anderes Gerät";
        break;
    case TReturnKind::Several:
        grund = "mehrere gleiche Adapter angeschlossen, keiner wird gewählt";
        break;
    }
    return {};
}
