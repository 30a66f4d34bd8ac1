// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// A message as a malicious bench could send it to the collector: the topic, then a NUL or a
// newline, then the payload. It goes through what the collector does before the database
// (EingangLesen). Whatever it takes must have a positive seq and named bench and meter that the
// tables take as they are; one it takes as valid (not for "rejected") is read here once more,
// independently, and must be the reading or event, gap limits included, that the check promises.
#include "collector/DatenbankText.h"
#include "collector/Eingang.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

void Pruefen(bool bedingung) {
    if (!bedingung) {
        __builtin_trap();
    }
}

bool Ganz(const QJsonValue& wert) {
    return wert.isDouble() && wert.toDouble() == static_cast<double>(wert.toInteger());
}

void GueltigeNachrichtPruefen(const TEingang& eingang) {
    const QJsonDocument dokument =
        QJsonDocument::fromJson(QByteArray::fromStdString(eingang.Inhalt));
    Pruefen(dokument.isObject());
    const QJsonObject o = dokument.object();
    Pruefen(Ganz(o.value(QLatin1String("seq"))) &&
            o.value(QLatin1String("seq")).toInteger() == eingang.Seq);
    Pruefen(o.value(QLatin1String("measurement")).toString().toStdString() == eingang.Messung);
    Pruefen(o.value(QLatin1String("utc_ms")).isDouble() &&
            o.value(QLatin1String("local")).isString());
    if (!eingang.Ereignis) {
        Pruefen(o.value(QLatin1String("value")).isDouble() &&
                o.value(QLatin1String("quantity")).isString() &&
                o.value(QLatin1String("unit")).isString());
        return;
    }
    Pruefen(o.value(QLatin1String("event")).isString());
    if (o.value(QLatin1String("event")).toString() == QLatin1String("gap")) {
        const QJsonValue von = o.value(QLatin1String("from_seq"));
        const QJsonValue bis = o.value(QLatin1String("to_seq"));
        Pruefen(Ganz(von) && Ganz(bis) && von.toInteger() >= 1 &&
                von.toInteger() <= bis.toInteger() && bis.toInteger() == eingang.Seq);
    }
}

} // namespace

// Qt's JSON parser descends recursively, so nested input gives ever new allocation stacks, which
// AddressSanitizer keeps for good: a long run climbed to the 2 GB limit in 400,000 inputs while
// the live heap stayed at 25 MB. Without allocation stacks it stays flat; to see them for a
// finding, run its input with ASAN_OPTIONS=malloc_context_size=30.
extern "C" const char* __asan_default_options() {
    return "malloc_context_size=0";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    const std::string_view eingabe(reinterpret_cast<const char*>(daten), groesse);
    const std::size_t trenner = eingabe.find_first_of(std::string_view("\0\n", 2));
    if (trenner == std::string_view::npos) {
        return 0;
    }
    const std::string_view thema = eingabe.substr(0, trenner);
    const std::string_view inhalt = eingabe.substr(trenner + 1);
    std::string meldung;
    const std::optional<TEingang> eingang = EingangLesen(thema, inhalt, meldung);
    if (!eingang) {
        return 0;
    }
    Pruefen(eingang->Seq > 0);
    Pruefen(!eingang->Bench.empty() && !eingang->Meter.empty());
    Pruefen(DatenbankText(eingang->Bench) == eingang->Bench);
    Pruefen(DatenbankText(eingang->Meter) == eingang->Meter);
    Pruefen(eingang->Inhalt == inhalt);
    Pruefen(eingang->Ereignis == thema.ends_with("/event"));
    if (eingang->Fehler.empty()) {
        GueltigeNachrichtPruefen(*eingang);
    }
    return 0;
}
