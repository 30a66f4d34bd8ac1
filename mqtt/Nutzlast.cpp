// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Nutzlast.h"

#include "framework/Codepage.h"
#include "framework/IsoZeit.h"
#include "storage/ZeitpunktLesen.h"
#include "storage/Zeitrechnung.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cstdlib>
#include <optional>

namespace {

// Sekundenzahl counts from 1 January 1948; the UTC stamp from 1 January 1970.
const std::int64_t Sekunden1970 = Sekundenzahl(TZeitpunkt{1, 1, 1970, 0, 0, 0});

QString Text(std::string_view cp850) {
    return Cp850ZuText(cp850);
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void KopfEintragen(QJsonObject& json, const TNachrichtKopf& kopf, std::int64_t utcMs,
                   std::int32_t versatz) {
    json.insert(QStringLiteral("measurement"), Utf8(kopf.Messung));
    json.insert(QStringLiteral("seq"), static_cast<qint64>(kopf.Seq));
    json.insert(QStringLiteral("utc_ms"), static_cast<qint64>(utcMs));
    json.insert(QStringLiteral("utc_offset_s"), versatz);
    json.insert(QStringLiteral("local"), Utf8(IsoZeit(utcMs, versatz)));
    json.insert(QStringLiteral("port"), Utf8(kopf.Port));
}

std::string Kompakt(const QJsonObject& json) {
    return QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString();
}

// A key that must be there with `typ`, or may be missing when `pflicht` is false.
bool Passt(const QJsonObject& json, const char* schluessel, QJsonValue::Type typ, bool pflicht,
           std::string& fehler) {
    const QJsonValue wert = json.value(QLatin1String(schluessel));
    if (wert.isUndefined() ? !pflicht : wert.type() == typ) {
        return true;
    }
    fehler = std::string(wert.isUndefined() ? "fehlt: " : "falscher Typ: ") + schluessel;
    return false;
}

// The whole number of `wert`, when it is one from 1 to 2^53 (beyond that JSON loses digits).
std::optional<std::int64_t> PositiveGanzzahl(const QJsonValue& wert) {
    if (!wert.isDouble()) {
        return std::nullopt;
    }
    const double zahl = wert.toDouble();
    if (zahl < 1 || zahl > 9007199254740992.0 ||
        zahl != static_cast<double>(static_cast<std::int64_t>(zahl))) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(zahl);
}

// A gap event's range: from_seq and to_seq whole numbers with 1 <= from_seq <= to_seq = seq.
bool LueckePasst(const QJsonObject& json, std::int64_t seq, std::string& fehler) {
    const std::optional<std::int64_t> von = PositiveGanzzahl(json.value(QLatin1String("from_seq")));
    const std::optional<std::int64_t> bis = PositiveGanzzahl(json.value(QLatin1String("to_seq")));
    if (!von || !bis || *von > *bis || *bis != seq) {
        fehler = "Lücke ohne gültige from_seq/to_seq";
        return false;
    }
    return Passt(json, "reason", QJsonValue::String, false, fehler);
}

} // namespace

std::int32_t UtcVersatzVon(const TMesswert& messwert) {
    TZeitpunkt lokal;
    DatumLesen(messwert.PCDatum, lokal);
    ZeitLesen(messwert.PCZeit, lokal);
    if (lokal.Tag < 0 || lokal.Stunde < 0) {
        return 0;
    }
    const std::int64_t utcSekunden =
        messwert.PCUtcMs >= 0 ? messwert.PCUtcMs / 1000 : -((-messwert.PCUtcMs + 999) / 1000);
    const std::int64_t versatz = Sekundenzahl(lokal) - Sekunden1970 - utcSekunden;
    // No zone on earth is more than a day away; anything else is a text that is no time.
    return std::llabs(versatz) <= 86400 ? static_cast<std::int32_t>(versatz) : 0;
}

std::string IsoZeit(std::int64_t utcMs, std::int32_t utcVersatz) {
    return IsoZeitText(utcMs, utcVersatz, true);
}

std::string MesswertNutzlast(const TNachrichtKopf& kopf, const TMesswert& messwert,
                             const TSpeicherOrt& ort, const TMesswertHerkunft& herkunft) {
    QJsonObject json;
    KopfEintragen(json, kopf, messwert.PCUtcMs, UtcVersatzVon(messwert));
    json.insert(QStringLiteral("quantity"), Text(messwert.Messgroesse));
    json.insert(QStringLiteral("unit"), Text(messwert.Einheit));
    json.insert(QStringLiteral("value"), messwert.Wert);
    if (messwert.MitTemperatur) {
        json.insert(QStringLiteral("temperature_c"), messwert.Temp);
    }
    if (messwert.Gerahmt) {
        json.insert(QStringLiteral("meter_date"), Text(messwert.Datum));
        json.insert(QStringLiteral("meter_time"), Text(messwert.Zeit));
        json.insert(QStringLiteral("reference_temperature_c"), messwert.Tref);
        json.insert(QStringLiteral("coefficient"), messwert.TCKoeff);
    }
    // JSON escapes the control bytes of the record (\u0013 for DC3 and so on).
    json.insert(QStringLiteral("raw"), Text(messwert.Roh));
    if (!ort.Datendatei.empty()) {
        json.insert(QStringLiteral("data_file"), QString::fromStdString(ort.Datendatei));
        if (ort.Zeile) {
            json.insert(QStringLiteral("line"), static_cast<qint64>(*ort.Zeile));
        }
    }
    json.insert(QStringLiteral("sample"), Utf8(herkunft.Angaben.Probe));
    json.insert(QStringLiteral("operator"), Utf8(herkunft.Angaben.Bediener));
    json.insert(QStringLiteral("electrode"), Utf8(herkunft.Angaben.Elektrode));
    if (!herkunft.Kette.empty()) {
        json.insert(QStringLiteral("chain"), Utf8(herkunft.Kette));
    }
    return Kompakt(json);
}

std::string_view EreignisName(TEreignisArt art) {
    constexpr std::array<std::string_view, 7> Namen = {
        "start", "end", "line_lost", "line_back", "saving_on", "saving_off", "gap"};
    return Namen[static_cast<std::size_t>(art)];
}

std::string EreignisNutzlast(const TNachrichtKopf& kopf, const TEreignis& ereignis) {
    QJsonObject json;
    KopfEintragen(json, kopf, ereignis.UtcMs, ereignis.UtcVersatz);
    json.insert(QStringLiteral("event"), Utf8(EreignisName(ereignis.Art)));
    if (!ereignis.Detail.empty()) {
        json.insert(QStringLiteral("detail"), Utf8(ereignis.Detail));
    }
    if (!ereignis.Datendatei.empty()) {
        json.insert(QStringLiteral("data_file"), QString::fromStdString(ereignis.Datendatei));
    }
    if (ereignis.Art == TEreignisArt::Luecke) {
        json.insert(QStringLiteral("from_seq"), static_cast<qint64>(ereignis.VonSeq));
        json.insert(QStringLiteral("to_seq"), static_cast<qint64>(ereignis.BisSeq));
        json.insert(QStringLiteral("reason"), Utf8(ereignis.Grund));
    }
    return Kompakt(json);
}

bool NutzlastPruefen(std::string_view json, bool ereignis, TNachrichtKennung& kennung,
                     std::string& fehler) {
    QJsonParseError lesefehler{};
    const QJsonDocument dokument = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &lesefehler);
    if (!dokument.isObject()) {
        fehler = "kein JSON-Objekt: " + lesefehler.errorString().toStdString();
        return false;
    }
    const QJsonObject o = dokument.object();
    using T = QJsonValue::Type;
    if (!Passt(o, "measurement", T::String, true, fehler) ||
        !Passt(o, "seq", T::Double, true, fehler)) {
        return false;
    }
    const std::optional<std::int64_t> seq = PositiveGanzzahl(o.value(QLatin1String("seq")));
    if (!seq) {
        fehler = "seq ist keine positive ganze Zahl";
        return false;
    }
    // Known from here on, so a message with a bad field can still be accounted for.
    kennung.Messung = o.value(QLatin1String("measurement")).toString().toStdString();
    kennung.Seq = *seq;
    if (ereignis && o.value(QLatin1String("event")).toString() == QLatin1String("gap") &&
        !LueckePasst(o, *seq, fehler)) {
        return false;
    }
    return Passt(o, "utc_ms", T::Double, true, fehler) &&
           Passt(o, "utc_offset_s", T::Double, true, fehler) &&
           Passt(o, "local", T::String, true, fehler) &&
           Passt(o, "port", T::String, false, fehler) &&
           Passt(o, "data_file", T::String, false, fehler) &&
           Passt(o, "line", T::Double, false, fehler) &&
           (ereignis ? Passt(o, "event", T::String, true, fehler) &&
                           Passt(o, "detail", T::String, false, fehler)
                     : Passt(o, "quantity", T::String, true, fehler) &&
                           Passt(o, "unit", T::String, true, fehler) &&
                           Passt(o, "value", T::Double, true, fehler) &&
                           Passt(o, "temperature_c", T::Double, false, fehler) &&
                           Passt(o, "meter_date", T::String, false, fehler) &&
                           Passt(o, "meter_time", T::String, false, fehler) &&
                           Passt(o, "reference_temperature_c", T::Double, false, fehler) &&
                           Passt(o, "coefficient", T::Double, false, fehler) &&
                           Passt(o, "raw", T::String, false, fehler) &&
                           Passt(o, "sample", T::String, false, fehler) &&
                           Passt(o, "operator", T::String, false, fehler) &&
                           Passt(o, "electrode", T::String, false, fehler) &&
                           Passt(o, "chain", T::String, false, fehler));
}
