// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/EInOutError.h"

#include "storage/SystemText.h"

#include <cerrno>

EInOutError::EInOutError(int code)
    : EInOutError(code, 0) {}

EInOutError::EInOutError(int code, int systemFehler)
    : std::runtime_error(InOutMeldung(code))
    , code_(code)
    , systemFehler_(systemFehler) {}

EInOutError::EInOutError(int code, int systemFehler, const std::string& text)
    : std::runtime_error(text)
    , code_(code)
    , systemFehler_(systemFehler) {}

EInOutError EInOutError::AusErrno(int errnoWert) {
    return EInOutError(InOutCodeAusErrno(errnoWert), errnoWert);
}

EInOutError EInOutError::MitText(int errnoWert, const std::string& text) {
    return EInOutError(InOutCodeAusErrno(errnoWert), errnoWert, text);
}

std::string EInOutError::Detail() const {
    return systemFehler_ != 0 ? SystemFehlerText(systemFehler_) : std::string();
}

std::string EInOutError::MitDetail() const {
    const std::string detail = Detail();
    return detail.empty() ? std::string(what()) : std::string(what()) + " (" + detail + ")";
}

int InOutCodeAusErrno(int errnoWert) {
    switch (errnoWert) {
    case ENOENT:
    case ENOTDIR:
        return 2;
    case ENAMETOOLONG:
    case EINVAL:
    case EISDIR:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    default:
        return 1000 + errnoWert;
    }
}

std::string InOutMeldung(int code) {
    switch (code) {
    case 2:
        return "Datei nicht gefunden";
    case 3:
        return "Ungültiger Dateiname";
    case 4:
        return "Zu viele geöffnete Dateien";
    case 5:
        return "Dateizugriff verweigert";
    case 100:
        return "Versuch hinter dem Dateiende zu lesen";
    case 101:
        return "Zu wenig Speicherplatz";
    case 106:
        return "Ungültige numerische Eingabe";
    default:
        return "E/A-Fehler " + std::to_string(code);
    }
}
