// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// What the collector makes of a message before the database sees it, and of its connection
// string; no server needed.
#include "collector/Datenbank.h"
#include "collector/DatenbankText.h"
#include "collector/Eingang.h"
#include "collector/Verbindungsangaben.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string Kopf = R"("measurement":"m","utc_ms":1796572414120,"utc_offset_s":3600,)"
                         R"("local":"2026-12-06T16:53:34.120+01:00","port":"/dev/ttyUSB0")";
const std::string Messwert =
    "{" + Kopf + R"(,"seq":3,"quantity":"pH","unit":"pH","value":7.01,"raw":"7.01 pH"})";

std::string Luecke(const std::string& grenzen, int seq = 9) {
    return "{" + Kopf + ",\"seq\":" + std::to_string(seq) +
           R"(,"event":"gap","reason":"Ausgang voll",)" + grenzen + "}";
}

struct TFall {
    const char* name;
    std::string thema;
    std::string inhalt;
    bool genommen;      // stored, as a message or as rejected
    std::string fehler; // taken: the start of its reason for "rejected" (empty: stored)
    std::string bench;  // taken: the names as stored
    std::string meter;
};

TEST(EingangLesen, ThemaUndNutzlast) {
    const std::string messwertThema = "quorlits/v1/bank1/meter/reading";
    const std::string ereignisThema = "quorlits/v1/bank1/meter/event";
    const std::vector<TFall> faelle = {
        {"reading", messwertThema, Messwert, true, "", "bank1", "meter"},
        {"escaped names", "quorlits/v1/Labor%203/%2Fdev%2FttyS0/reading", Messwert, true, "",
         "Labor 3", "/dev/ttyS0"},
        {"a name that is no text keeps its level", "quorlits/v1/b%FFx/m%00/reading", Messwert, true,
         "", "b%FFx", "m%00"},
        {"gap", ereignisThema, Luecke(R"("from_seq":6,"to_seq":9)"), true, "", "bank1", "meter"},
        {"gap of one", ereignisThema, Luecke(R"("from_seq":9,"to_seq":9)"), true, "", "bank1",
         "meter"},
        {"wrong type", messwertThema, R"({"measurement":"m","seq":3,"value":"7"})", true,
         "fehlt: utc_ms", "bank1", "meter"},
        {"gap past its seq", ereignisThema, Luecke(R"("from_seq":6,"to_seq":10)"), true, "Lücke",
         "bank1", "meter"},
        {"gap from 0", ereignisThema, Luecke(R"("from_seq":0,"to_seq":9)"), true, "Lücke", "bank1",
         "meter"},
        {"gap backwards", ereignisThema, Luecke(R"("from_seq":9,"to_seq":8)", 8), true, "Lücke",
         "bank1", "meter"},
        {"gap without limits", ereignisThema, Luecke(R"("detail":"x")"), true, "Lücke", "bank1",
         "meter"},
        {"gap with a fraction", ereignisThema, Luecke(R"("from_seq":6.5,"to_seq":9)"), true,
         "Lücke", "bank1", "meter"},
        {"gap on the reading topic is a reading", messwertThema,
         Luecke(R"("from_seq":6,"to_seq":9)"), true, "fehlt: quantity", "bank1", "meter"},
        {"status", "quorlits/v1/bank1/meter/status", Messwert, false, "", "", ""},
        {"foreign topic", "andere/bank1/meter/reading", Messwert, false, "", "", ""},
        {"a bench without a name", "quorlits/v1/%/meter/reading", Messwert, true, "", "%", "meter"},
        {"an empty level", "quorlits/v1/bank1//reading", Messwert, true, "", "bank1", "%"},
        {"no JSON", messwertThema, "7.01 pH", false, "", "", ""},
        {"seq 0", messwertThema, R"({"measurement":"m","seq":0})", false, "", "", ""},
    };
    for (const TFall& fall : faelle) {
        std::string meldung;
        const std::optional<TEingang> eingang = EingangLesen(fall.thema, fall.inhalt, meldung);
        ASSERT_EQ(eingang.has_value(), fall.genommen) << fall.name << ": " << meldung;
        if (!eingang) {
            const bool unseres =
                fall.thema.starts_with("quorlits/v1/") && !fall.thema.ends_with("/status");
            EXPECT_EQ(meldung.empty(), !unseres) << fall.name << ": " << meldung;
            continue;
        }
        EXPECT_TRUE(eingang->Fehler.starts_with(fall.fehler) &&
                    eingang->Fehler.empty() == fall.fehler.empty())
            << fall.name << ": " << eingang->Fehler;
        EXPECT_EQ(eingang->Bench, fall.bench) << fall.name;
        EXPECT_EQ(eingang->Meter, fall.meter) << fall.name;
        EXPECT_EQ(eingang->Messung, "m") << fall.name;
        EXPECT_GT(eingang->Seq, 0) << fall.name;
        EXPECT_EQ(eingang->Inhalt, fall.inhalt) << fall.name;
    }
}

// Whatever bytes a bench sends, the text for the tables is valid UTF-8 without NUL, and clean
// text stays as it is.
TEST(DatenbankText, NurGueltigesUtf8OhneNul) {
    const std::string ersatz = "\xEF\xBF\xBD";
    const std::vector<std::pair<std::string, std::string>> faelle = {
        {"pH 7.01 µS/cm 😀", "pH 7.01 µS/cm 😀"},
        {std::string("a\0b", 3), "a\xE2\x90\x80"
                                 "b"},
        {"a\xFF"
         "b",
         "a" + ersatz + "b"},
        {"\xC0\x80", ersatz + ersatz},                           // an overlong NUL
        {"\xED\xA0\x80", ersatz + ersatz + ersatz},              // a surrogate
        {"\xF4\x90\x80\x80", ersatz + ersatz + ersatz + ersatz}, // past U+10FFFF
        {"ab\xE2\x82", "ab" + ersatz + ersatz},                  // cut off at the end
    };
    for (const auto& [roh, erwartet] : faelle) {
        EXPECT_EQ(DatenbankText(roh), erwartet) << roh;
    }
    EXPECT_EQ(OhneNul(R"({"raw":"a\u0000b\\u0000"})"), R"({"raw":"a\u2400b\\u0000"})");
    std::string zeile;
    KopieFeld(zeile, "a\tb\nc\rd\\e");
    EXPECT_EQ(zeile, "a\\tb\\nc\\rd\\\\e");
}

TEST(Verbindungsangaben, FristNurWennKeineDa) {
    struct TVerbindungsFall {
        std::string verbindung;
        std::vector<std::string> erwartet; // name=value, in any order
    };
    const std::vector<TVerbindungsFall> faelle = {
        {"host=/run/postgresql dbname=quorlits",
         {"host=/run/postgresql", "dbname=quorlits", "connect_timeout=10"}},
        {"dbname=quorlits connect_timeout=3", {"dbname=quorlits", "connect_timeout=3"}},
        {"postgresql://sammler@db.labor/quorlits?connect_timeout=5",
         {"user=sammler", "dbname=quorlits", "host=db.labor", "connect_timeout=5"}},
        // A quoted value stays one value; nothing of it becomes a setting of its own.
        {"password='x connect_timeout=1' dbname=q",
         {"password=x connect_timeout=1", "dbname=q", "connect_timeout=10"}},
    };
    for (const TVerbindungsFall& fall : faelle) {
        const TVerbindungsangaben angaben = VerbindungsangabenLesen(fall.verbindung);
        std::vector<std::string> paare;
        for (std::size_t i = 0; i < angaben.Namen.size(); ++i) {
            paare.push_back(angaben.Namen[i] + "=" + angaben.Werte[i]);
        }
        std::sort(paare.begin(), paare.end());
        std::vector<std::string> erwartet = fall.erwartet;
        std::sort(erwartet.begin(), erwartet.end());
        EXPECT_EQ(paare, erwartet) << fall.verbindung;
    }
    try {
        VerbindungsangabenLesen("host='offen");
        ADD_FAILURE() << "an unreadable connection string was taken";
    } catch (const EDatenbank& fehler) {
        EXPECT_TRUE(std::string(fehler.what())
                        .starts_with("Die Datenbankverbindung ist nicht "
                                     "lesbar: "))
            << fehler.what();
    }
}

} // namespace
