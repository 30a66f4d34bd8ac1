// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/AboutTexte.h"

std::string AboutKurztext() {
    return "Programm zur Bedienung der Geräte WTW 325/340.\r"
           "Getestet wurden bisher nur: pH325, Oxi325, Lf340.\r"
           "\r"
           "Freie Software nach der GNU GPL 3,\r"
           "ohne jede Gewährleistung.";
}

std::string AboutTitel(std::string_view programmname) {
    std::string titel = "Über ";
    titel.append(programmname).append(", Version ").append(AboutVersion);
    return titel;
}

std::string AboutStand() {
    std::string stand = "Stand:  ";
    stand.append(AboutVersionsdatum).append(",   Version:  ").append(AboutVersion);
    return stand;
}
