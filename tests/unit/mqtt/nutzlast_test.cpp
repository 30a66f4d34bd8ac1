// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Nutzlast.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QJsonObject Lesen(const std::string& json) {
    QJsonParseError fehler{};
    const QJsonDocument dokument =
        QJsonDocument::fromJson(QByteArray::fromStdString(json), &fehler);
    EXPECT_EQ(fehler.error, QJsonParseError::NoError) << json;
    EXPECT_TRUE(dokument.isObject()) << json;
    return dokument.object();
}

TNachrichtKopf Kopf() {
    return TNachrichtKopf{"6f1c-77", 42, "/dev/ttyUSB0"};
}

// 06.12.2026 16:53:34.120 in CET.
TMesswert Basis() {
    TMesswert m;
    m.PCDatum = "06.12.2026";
    m.PCZeit = "16:53:34";
    m.PCUtcMs = 1796572414120;
    m.Messgroesse = "pH";
    m.Einheit = "pH";
    m.Wert = 7.012;
    m.Roh = "  7.012 pH  24.8 \xF8"
            "C";
    return m;
}

struct TMesswertFall {
    const char* Name;
    TMesswert Messwert;
    QStringList Schluessel; // beyond measurement, seq, utc_ms, utc_offset_s, local, port
    const char* Einheit;
    bool MitKette = false;
};

TMesswert MitTemperatur() {
    TMesswert m = Basis();
    m.MitTemperatur = true;
    m.Temp = 24.8;
    return m;
}

TMesswert Ausdruck() {
    TMesswert m = MitTemperatur();
    m.Messgroesse = "Lf";
    m.Einheit = "\xE6S/cm"; // µ in code page 850
    m.Wert = 1413;
    m.Gerahmt = true;
    m.Datum = "06.12.26";
    m.Zeit = "16:53";
    m.Tref = 25;
    m.TCKoeff = 1.98;
    m.Roh = "\x13"
            "16:53 06.12.26\r\n1413 \xE6S/cm\x11";
    return m;
}

class MesswertNutzlastTest : public ::testing::TestWithParam<TMesswertFall> {};

// Every kind of reading gives valid JSON with the keys of its kind and nothing else; the
// meter's code page 850 arrives as UTF-8. Who measured which sample with which electrode goes
// with every reading, the chain head where a trail is kept.
TEST_P(MesswertNutzlastTest, GibtGueltigesJson) {
    const TMesswertFall& fall = GetParam();
    const std::string kette(64, 'a');
    const TMesswertHerkunft herkunft{{"P-17", "J\xC3\xB6rg", "SenTix 41"},
                                     fall.MitKette ? kette : ""};
    const QJsonObject json =
        Lesen(MesswertNutzlast(Kopf(), fall.Messwert, {"/daten/06122026.000", 17}, herkunft));
    QStringList erwartet = {"measurement", "seq",      "utc_ms", "utc_offset_s", "local",
                            "port",        "quantity", "unit",   "value",        "raw",
                            "data_file",   "line",     "sample", "operator",     "electrode"};
    if (fall.MitKette) {
        erwartet += "chain";
        EXPECT_EQ(json.value("chain").toString().toStdString(), kette);
    }
    EXPECT_EQ(json.value("sample").toString(), "P-17");
    EXPECT_EQ(json.value("operator").toString(), "Jörg");
    EXPECT_EQ(json.value("electrode").toString(), "SenTix 41");
    erwartet += fall.Schluessel;
    erwartet.sort();
    EXPECT_EQ(json.keys(), erwartet);
    EXPECT_EQ(json.value("measurement").toString(), "6f1c-77");
    EXPECT_EQ(json.value("seq").toInteger(), 42);
    EXPECT_EQ(json.value("utc_ms").toInteger(), 1796572414120);
    EXPECT_EQ(json.value("utc_offset_s").toInt(), 3600);
    EXPECT_EQ(json.value("local").toString(), "2026-12-06T16:53:34.120+01:00");
    EXPECT_EQ(json.value("unit").toString(), QString::fromUtf8(fall.Einheit));
    EXPECT_EQ(json.value("value").toDouble(), fall.Messwert.Wert);
    EXPECT_EQ(json.value("data_file").toString(), "/daten/06122026.000");
    EXPECT_EQ(json.value("line").toInteger(), 17);
    TNachrichtKennung kennung;
    std::string fehler;
    EXPECT_TRUE(NutzlastPruefen(MesswertNutzlast(Kopf(), fall.Messwert, {}, herkunft), false,
                                kennung, fehler))
        << fehler;
    EXPECT_EQ(kennung.Seq, 42);
}

INSTANTIATE_TEST_SUITE_P(
    Arten, MesswertNutzlastTest,
    ::testing::Values(TMesswertFall{"OhneTemperatur", Basis(), {}, "pH"},
                      TMesswertFall{"MitTemperatur", MitTemperatur(), {"temperature_c"}, "pH"},
                      TMesswertFall{"Ausdruck",
                                    Ausdruck(),
                                    {"temperature_c", "meter_date", "meter_time",
                                     "reference_temperature_c", "coefficient"},
                                    "µS/cm"},
                      TMesswertFall{"MitKette", Basis(), {}, "pH", true}),
    [](const auto& fall) { return std::string(fall.param.Name); });

TEST(MesswertNutzlast, RohTextUndAusdruckFelder) {
    const QJsonObject json = Lesen(MesswertNutzlast(Kopf(), Ausdruck()));
    EXPECT_EQ(json.value("raw").toString(),
              QString::fromUtf8("\u001316:53 06.12.26\r\n1413 µS/cm\u0011"));
    EXPECT_EQ(json.value("temperature_c").toDouble(), 24.8);
    EXPECT_EQ(json.value("meter_date").toString(), "06.12.26");
    EXPECT_EQ(json.value("reference_temperature_c").toDouble(), 25.0);
    EXPECT_EQ(json.value("coefficient").toDouble(), 1.98);
    EXPECT_FALSE(json.contains("data_file")) << "not saved";
}

TEST(UtcVersatz, AusDemStempelDesMesswerts) {
    TMesswert m = Basis();
    EXPECT_EQ(UtcVersatzVon(m), 3600);
    m.PCDatum = "29.03.2026"; // CEST from 01:00 UTC on
    m.PCZeit = "03:00:00";
    m.PCUtcMs = 1774746000000;
    EXPECT_EQ(UtcVersatzVon(m), 7200);
    m.PCZeit = "??";
    EXPECT_EQ(UtcVersatzVon(m), 0);
    EXPECT_EQ(IsoZeit(-1, -34200), "1969-12-31T14:29:59.999-09:30");
}

TEST(EreignisNutzlast, JedesEreignis) {
    TEreignis ereignis{
        TEreignisArt::SpeichernEin, 1796572414120, 3600, "sofort", "/d/Daten.txt", 0, 0, {}};
    const QJsonObject json = Lesen(EreignisNutzlast(Kopf(), ereignis));
    EXPECT_EQ(json.value("event").toString(), "saving_on");
    EXPECT_EQ(json.value("detail").toString(), "sofort");
    EXPECT_EQ(json.value("data_file").toString(), "/d/Daten.txt");
    EXPECT_EQ(json.value("local").toString(), "2026-12-06T16:53:34.120+01:00");
    QStringList namen;
    for (int art = 0; art < 6; ++art) {
        ereignis.Art = static_cast<TEreignisArt>(art);
        TNachrichtKennung kennung;
        std::string fehler;
        EXPECT_TRUE(NutzlastPruefen(EreignisNutzlast(Kopf(), ereignis), true, kennung, fehler));
        namen << QString::fromUtf8(EreignisName(ereignis.Art).data());
    }
    EXPECT_EQ(namen.join(','), "start,end,line_lost,line_back,saving_on,saving_off");
}

// What the collector must not store: it would break the insert of a whole transaction.
TEST(NutzlastPruefen, WeistAb) {
    const std::string gut = MesswertNutzlast(Kopf(), Basis());
    TNachrichtKennung kennung;
    std::string fehler;
    ASSERT_TRUE(NutzlastPruefen(gut, false, kennung, fehler));
    for (const char* schlecht : {"", "[]", "{", R"({"seq":1})",
                                 R"({"measurement":"m","seq":0,"utc_ms":1,"utc_offset_s":0,)"
                                 R"("local":"x","quantity":"pH","unit":"pH","value":1})",
                                 R"({"measurement":"m","seq":1.5,"utc_ms":1,"utc_offset_s":0,)"
                                 R"("local":"x","quantity":"pH","unit":"pH","value":1})",
                                 R"({"measurement":"m","seq":1,"utc_ms":1,"utc_offset_s":0,)"
                                 R"("local":"x","quantity":"pH","unit":"pH","value":"7"})",
                                 R"({"measurement":"m","seq":1,"utc_ms":1,"utc_offset_s":0,)"
                                 R"("local":"x","quantity":"pH","unit":"pH","value":7,)"
                                 R"("sample":17})"}) {
        EXPECT_FALSE(NutzlastPruefen(schlecht, false, kennung, fehler)) << schlecht;
        EXPECT_FALSE(fehler.empty());
    }
    EXPECT_FALSE(NutzlastPruefen(gut, true, kennung, fehler)) << "a reading is no event";
}

} // namespace
