// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// An outbox left behind by an earlier version must still be sent after an update: the file in
// tests/data was written by the outbox code before its CRC came from zlib.
#include "publish/Ausgang.h"

#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::filesystem::path Datei =
    std::filesystem::path(QUORLITS_TEST_DATA_DIR) / "ausgang_format1.bin";

const std::string Geraet = "quorlits/v1/labor-3/%2Fdev%2FttyUSB0/";
const std::string Pruefstand = "quorlits/v1/Prüfstand Ω/FTDI FT232R A50285BI/reading";

std::string Lang() {
    std::string lang;
    for (int i = 0; i < 1000; ++i) {
        lang.push_back(static_cast<char>((i * 37 + 11) % 256));
    }
    return lang;
}

TAusgangsSatz Nachricht(std::string messung, std::uint64_t seq, std::string thema,
                        std::string inhalt) {
    return {TAusgangsArt::Nachricht, std::move(messung), seq, std::move(thema), std::move(inhalt)};
}

TAusgangsSatz Quittung(std::string messung, std::uint64_t seq) {
    return {TAusgangsArt::Quittung, std::move(messung), seq, {}, {}};
}

// Every record of the file, in its order: messages of three measurements, among them one of
// bytes that are no text and one of 1000 bytes, and the acknowledgements of two of them.
const std::vector<TAusgangsSatz> Saetze = {
    Nachricht("m-1", 1, Geraet + "event", R"({"measurement":"m-1","seq":1,"event":"start"})"),
    Nachricht("m-1", 2, Geraet + "reading",
              R"({"measurement":"m-1","seq":2,"unit":"µS/cm","temperature_c":24.8})"),
    Nachricht("m-1", 3, Geraet + "reading",
              R"({"measurement":"m-1","seq":3,"raw":"\u001316:53\r\n\u0011"})"),
    Nachricht("m-2", 1, Pruefstand, std::string("\0\xFF\r\n", 4)),
    Quittung("m-1", 2),
    Nachricht("m-2", 2, Pruefstand, Lang()),
    Nachricht("m-3", 1, "q", ""),
    Quittung("m-3", 1),
};

TEST(AusgangFormat, JederSatzKommtZurueck) {
    const std::string inhalt = DateiLesen(Datei);
    ASSERT_EQ(inhalt.substr(0, AusgangMagie.size()), AusgangMagie);
    std::string_view rest = std::string_view(inhalt).substr(AusgangMagie.size());
    std::vector<TAusgangsSatz> gelesen;
    while (!rest.empty()) {
        const std::optional<std::size_t> laenge = AusgangsSatzLaenge(rest);
        ASSERT_TRUE(laenge && *laenge <= rest.size()) << "record " << gelesen.size() + 1;
        const std::optional<TAusgangsSatz> satz = AusgangsSatzLesen(rest.substr(0, *laenge));
        ASSERT_TRUE(satz) << "record " << gelesen.size() + 1 << " is damaged (CRC or fields)";
        gelesen.push_back(*satz);
        rest.remove_prefix(*laenge);
    }
    EXPECT_EQ(gelesen, Saetze);
}

// The outbox of an earlier version is one file where the folder of segments now lies: it
// becomes the first segment, and the outbox sends what was not acknowledged, in order; what it
// adds is read with it after the next start.
TEST(AusgangFormat, WartendeNachrichtenGehenRaus) {
    const TTestOrdner ordner;
    DateiSchreiben(ordner / "ausgang", DateiLesen(Datei));
    const std::vector<TAusgangsSatz> wartend = {Saetze[2], Saetze[3], Saetze[5]};
    const TAusgangsSatz neu = Nachricht("m-4", 1, "quorlits/v1/b/m/reading", "{}");
    {
        TAusgang ausgang(ordner / "ausgang");
        EXPECT_EQ(Verzeichnisinhalt(ordner / "ausgang"), "00000001.seg sperre");
        EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "ausgang");
        EXPECT_EQ(ausgang.Wartend(), wartend.size());
        EXPECT_EQ(ausgang.Naechste(10), wartend);
        ausgang.Ablegen(neu);
    }
    TAusgang wieder(ordner / "ausgang");
    std::vector<TAusgangsSatz> alle = wartend;
    alle.push_back(neu);
    EXPECT_EQ(wieder.Naechste(10), alle);
}

} // namespace
