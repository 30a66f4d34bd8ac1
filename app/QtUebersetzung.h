// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

class QCoreApplication;

// Whether Qt's own texts (file dialogs, standard buttons, context menus) are to be German. The
// program speaks German, so they are, unless the language of messages names another one: the
// first of LC_ALL, LC_MESSAGES and LANG that is set and not empty decides, as for every program;
// none set, "C" and "POSIX" mean no language was chosen. Null stands for an unset variable.
bool QtTexteDeutsch(const char* lcAll, const char* lcMessages, const char* lang);

// The same for this process's environment.
bool QtTexteDeutsch();

// Installs Qt's German translation (qtbase_de from the folder Qt reports) into `app`, which
// keeps it. False when the file is missing or unreadable: Qt's texts stay English then, which
// costs nothing else.
bool QtUebersetzungLaden(QCoreApplication& app);

// Says that Qt's German texts are missing, where they were looked for and which package has them.
std::string QtUebersetzungFehltMeldung();

// The translation file's base name, without ".qm".
inline constexpr std::string_view QtUebersetzungDatei = "qtbase_de";
