// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "publish/Ausgang.h"

#include "framework/Meldung.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TAusgangsSatz Nachricht(const std::string& messung, std::uint64_t seq) {
    return TAusgangsSatz{TAusgangsArt::Nachricht, messung, seq, "quorlits/v1/b/m/reading",
                         R"({"seq":)" + std::to_string(seq) + "}"};
}

// The seqs of the next messages to hand out, as "m:1 m:2".
std::string Folge(TAusgang& ausgang, std::size_t hoechstens) {
    std::string folge;
    for (const TAusgangsSatz& satz : ausgang.Naechste(hoechstens)) {
        folge += (folge.empty() ? "" : " ") + satz.Messung + ":" + std::to_string(satz.Seq);
    }
    return folge;
}

TEST(AusgangSatz, LiestWasEsSchreibt) {
    for (const TAusgangsSatz& satz :
         {Nachricht("m", 1), TAusgangsSatz{TAusgangsArt::Quittung, "m", 7, {}, {}},
          TAusgangsSatz{TAusgangsArt::Nachricht, "", 0, "", std::string("\0\xFF", 2)}}) {
        const std::string text = AusgangsSatzText(satz);
        EXPECT_EQ(AusgangsSatzLaenge(text), text.size());
        EXPECT_EQ(AusgangsSatzLesen(text), satz);
        std::string kaputt = text;
        kaputt[7] ^= 0x01;
        EXPECT_EQ(AusgangsSatzLesen(kaputt), std::nullopt) << "the CRC finds a flipped bit";
    }
}

// A crash can cut the file after any byte of its last record: the records before it are all
// there, the torn one is gone, and the next message follows the last whole record.
TEST(Ausgang, AbgeschnittenNachJedemByteDesLetztenSatzes) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    std::uintmax_t vorLetztem = 0;
    {
        TAusgang ausgang(pfad);
        ausgang.Ablegen(Nachricht("m", 1));
        ausgang.Ablegen(Nachricht("m", 2));
        vorLetztem = std::filesystem::file_size(pfad);
        ausgang.Ablegen(Nachricht("m", 3));
    }
    const std::string ganz = DateiLesen(pfad);
    for (std::size_t laenge = vorLetztem; laenge < ganz.size(); ++laenge) {
        DateiSchreiben(pfad, ganz.substr(0, laenge));
        {
            TAusgang ausgang(pfad);
            EXPECT_EQ(ausgang.Wartend(), 2U) << "cut at " << laenge;
            ausgang.Ablegen(Nachricht("m", 4));
        }
        TAusgang wieder(pfad);
        EXPECT_EQ(Folge(wieder, 10), "m:1 m:2 m:4") << "cut at " << laenge;
    }
    DateiSchreiben(pfad, ganz);
    TAusgang ausgang(pfad);
    EXPECT_EQ(Folge(ausgang, 10), "m:1 m:2 m:3");
}

TEST(Ausgang, KopfAbgeschnittenOderFremd) {
    const TTestOrdner ordner;
    DateiSchreiben(ordner / "halb", std::string(AusgangMagie.substr(0, 5)));
    EXPECT_EQ(TAusgang(ordner / "halb").Wartend(), 0U);
    EXPECT_EQ(DateiLesen(ordner / "halb"), AusgangMagie);
    DateiSchreiben(ordner / "fremd", "Messwerte\n");
    EXPECT_THROW(TAusgang(ordner / "fremd"), EMeldung);
    EXPECT_EQ(DateiLesen(ordner / "fremd"), "Messwerte\n") << "another file is never touched";
}

TEST(Ausgang, NurEinProgrammZugleich) {
    const TTestOrdner ordner;
    const TAusgang erster(ordner / "a" / "b");
    EXPECT_THROW(TAusgang(ordner / "a" / "b"), EMeldung);
}

// Acknowledgements drop what they cover, per measurement, survive a restart, and a restart
// sends again from the first unacknowledged message, in order.
TEST(Ausgang, QuittungUndNeuerVersand) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    {
        TAusgang ausgang(pfad);
        for (std::uint64_t seq = 1; seq <= 4; ++seq) {
            ausgang.Ablegen(Nachricht("alt", seq));
        }
        ausgang.Ablegen(Nachricht("neu", 1));
        ausgang.Ablegen(Nachricht("neu", 2));
        EXPECT_EQ(Folge(ausgang, 3), "alt:1 alt:2 alt:3");
        EXPECT_EQ(Folge(ausgang, 3), "") << "the window is full";
        EXPECT_EQ(ausgang.QuittungNehmen("alt", 2), 2U);
        EXPECT_EQ(ausgang.QuittungNehmen("alt", 2), 0U)
            << "a repeated acknowledgement drops nothing";
        EXPECT_EQ(ausgang.QuittungNehmen("unbekannt", 9), 0U);
        EXPECT_EQ(ausgang.QuittungNehmen("neu", 1), 1U) << "not yet handed out, still acknowledged";
        EXPECT_EQ(Folge(ausgang, 3), "alt:4 neu:2");
        EXPECT_EQ(ausgang.Unterwegs(), 3U);
        ausgang.Zuruecksetzen();
        EXPECT_EQ(Folge(ausgang, 10), "alt:3 alt:4 neu:2");
    }
    TAusgang wieder(pfad);
    EXPECT_EQ(wieder.Wartend(), 3U);
    EXPECT_EQ(Folge(wieder, 10), "alt:3 alt:4 neu:2");
    wieder.QuittungNehmen("alt", 4);
    wieder.QuittungNehmen("neu", 2);
    EXPECT_EQ(wieder.Wartend(), 0U);
    EXPECT_EQ(wieder.Dateigroesse(), AusgangMagie.size()) << "an empty outbox starts over";
}

TEST(Ausgang, HoechstensTausendUnterwegs) {
    const TTestOrdner ordner;
    TAusgang ausgang(ordner / "ausgang");
    for (std::uint64_t seq = 1; seq <= 1500; ++seq) {
        ausgang.Ablegen(Nachricht("m", seq));
    }
    EXPECT_EQ(ausgang.Naechste(1000).size(), 1000U);
    EXPECT_EQ(ausgang.Naechste(1000).size(), 0U);
    ausgang.QuittungNehmen("m", 300);
    const std::vector<TAusgangsSatz> weiter = ausgang.Naechste(1000);
    ASSERT_EQ(weiter.size(), 300U);
    EXPECT_EQ(weiter.front().Seq, 1001U);
    EXPECT_EQ(ausgang.Unterwegs(), 1000U);
}

// A full outbox drops its oldest messages, says so once, keeps the new one, and a rewrite of
// the file keeps every waiting message readable, also after a restart.
TEST(Ausgang, VollVerwirftDieAeltestenUndSagtEsEinmal) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    const std::uint64_t satz = AusgangsSatzText(Nachricht("m", 1)).size();
    const std::uint64_t grenze = AusgangMagie.size() + 20 * satz;
    std::vector<std::string> meldungen;
    {
        TAusgang ausgang(pfad, grenze);
        ausgang.BeiVoll = [&meldungen](const std::string& text) { meldungen.push_back(text); };
        for (std::uint64_t seq = 1; seq <= 60; ++seq) {
            ausgang.Ablegen(Nachricht("m", seq));
            EXPECT_LE(ausgang.Dateigroesse(), grenze);
        }
        EXPECT_EQ(meldungen.size(), 1U);
        EXPECT_GT(ausgang.Verworfen(), 40U);
        EXPECT_EQ(ausgang.Verworfen() + ausgang.Wartend(), 60U);
        EXPECT_NE(
            meldungen.front().find("(Grenze " + std::to_string(grenze) + " Bytes, OutboxGrenze)"),
            std::string::npos)
            << meldungen.front();
    }
    TAusgang wieder(pfad, grenze);
    const std::vector<TAusgangsSatz> rest = wieder.Naechste(100);
    ASSERT_FALSE(rest.empty());
    EXPECT_EQ(rest.back().Seq, 60U) << "the newest is kept";
    EXPECT_EQ(rest.front().Seq + rest.size() - 1, 60U) << "the oldest went, without gaps";
    EXPECT_EQ(rest.front().Inhalt, Nachricht("m", rest.front().Seq).Inhalt);
}

TEST(Ausgang, PfadJeArbeitsplatzUndMessgeraet) {
    EXPECT_EQ(AusgangsPfad("/var/lib/q", "labor/3", "/dev/ttyUSB0"),
              "/var/lib/q/quorlits/ausgang/labor%2F3/%2Fdev%2FttyUSB0");
    EXPECT_EQ(AusgangsPfad("/s", "..", ""), "/s/quorlits/ausgang/%2E%2E/%");
}

} // namespace
