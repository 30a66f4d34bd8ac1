// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Zeitachse.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr std::int64_t Sekunde = 1000;
constexpr std::int64_t Minute = 60 * Sekunde;
constexpr std::int64_t Stunde = 60 * Minute;
constexpr std::int64_t Tag = 24 * Stunde;

constexpr std::array<std::int64_t, 20> Schritte{
    Sekunde,    2 * Sekunde, 5 * Sekunde, 10 * Sekunde, 15 * Sekunde, 30 * Sekunde, Minute,
    2 * Minute, 5 * Minute,  10 * Minute, 15 * Minute,  30 * Minute,  Stunde,       2 * Stunde,
    3 * Stunde, 6 * Stunde,  12 * Stunde, Tag,          2 * Tag,      7 * Tag};

std::int64_t AbrundenAuf(std::int64_t wert, std::int64_t schritt) {
    const std::int64_t rest = wert % schritt;
    return wert - (rest < 0 ? rest + schritt : rest);
}

// The local time of `utcMs` in the process's time zone.
std::tm Lokal(std::int64_t utcMs) {
    const std::time_t sekunden = static_cast<std::time_t>(AbrundenAuf(utcMs, Sekunde) / Sekunde);
    std::tm zeit{};
    localtime_r(&sekunden, &zeit);
    return zeit;
}

std::int64_t VersatzMs(std::int64_t utcMs) {
    return static_cast<std::int64_t>(Lokal(utcMs).tm_gmtoff) * Sekunde;
}

std::string Beschriftung(std::int64_t utcMs, std::int64_t schritt) {
    const std::tm zeit = Lokal(utcMs);
    char text[32];
    const bool mitternacht = zeit.tm_hour == 0 && zeit.tm_min == 0 && zeit.tm_sec == 0;
    if (schritt >= Tag) {
        std::snprintf(text, sizeof text, "%02d.%02d.", zeit.tm_mday, zeit.tm_mon + 1);
    } else if (mitternacht) {
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", zeit.tm_mday, zeit.tm_mon + 1,
                      zeit.tm_year + 1900);
    } else if (schritt < Minute) {
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", zeit.tm_hour, zeit.tm_min, zeit.tm_sec);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d", zeit.tm_hour, zeit.tm_min);
    }
    return text;
}

} // namespace

std::vector<TZeitStrich> ZeitStriche(double vonMs, double bisMs, int hoechstens) {
    std::vector<TZeitStrich> striche;
    if (!(bisMs > vonMs) || hoechstens < 1) {
        return striche;
    }
    const double spanne = bisMs - vonMs;
    std::int64_t schritt = Schritte.back();
    for (const std::int64_t s : Schritte) {
        if (spanne / static_cast<double>(s) <= hoechstens) {
            schritt = s;
            break;
        }
    }
    while (spanne / static_cast<double>(schritt) > hoechstens) {
        schritt += 7 * Tag; // weeks beyond the list
    }
    // The first tick on a whole step of the local time: 14:00, 14:15 ..., local midnight, and
    // for weeks a Monday (1970-01-05 was one).
    const auto von = static_cast<std::int64_t>(std::floor(vonMs));
    const std::int64_t versatz = VersatzMs(von);
    const std::int64_t montag = schritt % (7 * Tag) == 0 ? 4 * Tag : 0;
    std::int64_t lokal = AbrundenAuf(von + versatz - montag, schritt) + montag;
    std::int64_t utc = lokal - versatz;
    for (int sicherung = 0; sicherung <= hoechstens + 2; ++sicherung) {
        if (static_cast<double>(utc) > bisMs) {
            break;
        }
        if (static_cast<double>(utc) >= vonMs) {
            striche.push_back({utc, Beschriftung(utc, schritt)});
        }
        // Within a day the ticks keep their distance in real time, so the hour the clock
        // repeats in autumn has its ticks too; days and weeks go from midnight to midnight.
        if (schritt < Tag) {
            utc += schritt;
        } else {
            lokal += schritt;
            utc = lokal - VersatzMs(lokal - VersatzMs(utc));
        }
    }
    return striche;
}

std::vector<TWertStrich> WertStriche(double von, double bis, int hoechstens) {
    std::vector<TWertStrich> striche;
    if (!(bis > von) || hoechstens < 1 || !std::isfinite(bis - von)) {
        return striche;
    }
    const double roh = (bis - von) / hoechstens;
    const double zehner = std::pow(10.0, std::floor(std::log10(roh)));
    double schritt = 10 * zehner;
    for (const double f : {1.0, 2.0, 5.0}) {
        if (f * zehner >= roh) {
            schritt = f * zehner;
            break;
        }
    }
    const int stellen = std::max(0, static_cast<int>(-std::floor(std::log10(schritt) + 1e-9)));
    for (double k = std::ceil(von / schritt); k * schritt <= bis + schritt * 1e-9; k += 1) {
        const double wert = k * schritt;
        char text[48];
        std::snprintf(text, sizeof text, "%.*f", stellen, wert == 0 ? 0.0 : wert);
        std::string zahl = text;
        for (char& c : zahl) {
            c = c == '.' ? ',' : c;
        }
        striche.push_back({wert, zahl});
    }
    return striche;
}
