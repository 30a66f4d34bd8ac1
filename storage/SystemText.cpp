// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/SystemText.h"

#include <cerrno>
#include <cstring>
#include <string_view>

namespace {

struct TSystemText {
    int Fehler;
    std::string_view Text;
};

// Texts in the words a user of a German system reads, without the C library's abbreviations.
constexpr TSystemText Texte[] = {
    {EPERM, "Vorgang nicht erlaubt"},
    {ENOENT, "Datei oder Verzeichnis nicht vorhanden"},
    {EINTR, "Unterbrochener Systemaufruf"},
    {EIO, "Ein-/Ausgabefehler"},
    {ENXIO, "Gerät oder Adresse nicht vorhanden"},
    {EBADF, "Ungültiger Dateideskriptor"},
    {EAGAIN, "Vorübergehend nicht verfügbar, bitte erneut versuchen"},
    {ENOMEM, "Nicht genügend Hauptspeicher"},
    {EACCES, "Keine Berechtigung"},
    {EBUSY, "Gerät oder Ressource belegt"},
    {EEXIST, "Die Datei existiert bereits"},
    {ENODEV, "Gerät nicht vorhanden"},
    {ENOTDIR, "Ein Teil des Pfads ist kein Verzeichnis"},
    {EISDIR, "Ist ein Verzeichnis"},
    {EINVAL, "Ungültiges Argument"},
    {ENFILE, "Zu viele offene Dateien im System"},
    {EMFILE, "Zu viele offene Dateien"},
    {ENOTTY, "Das Gerät ist kein Terminal (unpassender Steuerbefehl)"},
    {ETXTBSY, "Programmdatei wird gerade ausgeführt"},
    {EFBIG, "Die Datei ist zu groß"},
    {ENOSPC, "Kein Speicherplatz mehr auf dem Gerät"},
    {ESPIPE, "Die Datei lässt keine Positionierung zu"},
    {EROFS, "Das Dateisystem ist nur lesbar"},
    {EPIPE, "Die Gegenstelle liest nicht mehr (unterbrochene Pipe)"},
    {ENAMETOOLONG, "Der Dateiname ist zu lang"},
    {ELOOP, "Zu viele Ebenen symbolischer Verknüpfungen"},
    {EDQUOT, "Das Speicherkontingent ist ausgeschöpft"},
    {ESTALE, "Veraltete Dateizugriffsnummer (Netzwerkdateisystem)"},
    {ETIMEDOUT, "Zeitüberschreitung"},
    {EOPNOTSUPP, "Vorgang wird nicht unterstützt"},
};

} // namespace

std::string SystemFehlerText(int errnoWert) {
    for (const TSystemText& eintrag : Texte) {
        if (eintrag.Fehler == errnoWert) {
            return std::string(eintrag.Text);
        }
    }
    return std::strerror(errnoWert);
}
