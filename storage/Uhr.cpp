// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "storage/Uhr.h"

#include "storage/Kalender.h"

#include <limits>
#include <time.h>

namespace {

constexpr std::int64_t MsJeSekunde = 1000;
constexpr std::int64_t SekundenJeTag = 86400;

// Floor division, so times before 1970 map to the second that contains them.
std::int64_t AbgerundetGeteilt(std::int64_t zaehler, std::int64_t nenner) {
    const std::int64_t q = zaehler / nenner;
    return (zaehler % nenner != 0 && (zaehler < 0) != (nenner < 0)) ? q - 1 : q;
}

} // namespace

TUhrzeit UhrzeitAusUtc(std::int64_t utcMs) {
    const auto sekunden = static_cast<std::time_t>(AbgerundetGeteilt(utcMs, MsJeSekunde));
    TUhrzeit uhrzeit;
    uhrzeit.UtcMs = utcMs;
    std::tm teile{};
    if (localtime_r(&sekunden, &teile) == nullptr ||
        teile.tm_year > std::numeric_limits<int>::max() - 1900) {
        uhrzeit.Lokal = TZeitpunkt{1, 1, 1970, 0, 0, 0}; // a time the C library cannot convert
        return uhrzeit;
    }
    uhrzeit.Lokal = TZeitpunkt{teile.tm_mday, teile.tm_mon + 1, teile.tm_year + 1900,
                               teile.tm_hour, teile.tm_min,     teile.tm_sec};
    uhrzeit.UtcVersatz = static_cast<std::int32_t>(teile.tm_gmtoff);
    return uhrzeit;
}

TUhrzeit UhrzeitAusVersatz(std::int64_t utcMs, std::int32_t utcVersatz) {
    const std::int64_t lokaleSekunden = AbgerundetGeteilt(utcMs, MsJeSekunde) + utcVersatz;
    const std::int64_t tage = AbgerundetGeteilt(lokaleSekunden, SekundenJeTag);
    const std::int64_t imTag = lokaleSekunden - tage * SekundenJeTag;
    const TKalenderDatum datum = DatumAusTagen(tage);
    if (datum.Jahr > std::numeric_limits<std::int32_t>::max() ||
        datum.Jahr < std::numeric_limits<std::int32_t>::min()) {
        return TUhrzeit{TZeitpunkt{1, 1, 1970, 0, 0, 0}, utcMs, utcVersatz};
    }
    const TZeitpunkt lokal{datum.Tag,
                           datum.Monat,
                           static_cast<std::int32_t>(datum.Jahr),
                           static_cast<std::int32_t>(imTag / 3600),
                           static_cast<std::int32_t>(imTag / 60 % 60),
                           static_cast<std::int32_t>(imTag % 60)};
    return TUhrzeit{lokal, utcMs, utcVersatz};
}

TUhrzeit SystemUhrLesen() {
    timespec jetzt{};
    ::clock_gettime(CLOCK_REALTIME, &jetzt);
    return UhrzeitAusUtc(std::int64_t{jetzt.tv_sec} * MsJeSekunde + jetzt.tv_nsec / 1'000'000);
}

TUhr SystemUhr() {
    return [] { return SystemUhrLesen(); };
}

TUhrzeit UhrzeitAusLokal(const TZeitpunkt& lokal, std::int32_t utcVersatz) {
    const std::int64_t tage = lokal.Monat >= 1 && lokal.Monat <= 12
                                  ? TageBisMonatsanfang(lokal.Jahr, lokal.Monat) + lokal.Tag - 1
                                  : 0;
    const std::int64_t lokaleSekunden = tage * SekundenJeTag + std::int64_t{lokal.Stunde} * 3600 +
                                        std::int64_t{lokal.Minute} * 60 + lokal.Sekunde;
    return TUhrzeit{lokal, (lokaleSekunden - utcVersatz) * MsJeSekunde, utcVersatz};
}

TUhr FesteUhr(const TZeitpunkt& lokal, std::int32_t utcVersatz) {
    const TUhrzeit uhrzeit = UhrzeitAusLokal(lokal, utcVersatz);
    return [uhrzeit] { return uhrzeit; };
}

TUhrzeit UhrLesen(const TUhr& uhr) {
    return uhr ? uhr() : SystemUhrLesen();
}

std::int64_t MonotonJetzt() {
    timespec jetzt{};
    ::clock_gettime(CLOCK_MONOTONIC, &jetzt);
    return std::int64_t{jetzt.tv_sec} * 1'000'000'000 + jetzt.tv_nsec;
}

std::int64_t MonoLesen(const TMonoUhr& uhr) {
    return uhr ? uhr() : MonotonJetzt();
}
