// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "AusgangHilfe.h"

#include "publish/Ausgang.h"

#include "framework/Meldung.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(AusgangSatz, LiestWasEsSchreibt) {
    for (const TAusgangsSatz& satz :
         {Nachricht("m", 1), TAusgangsSatz{TAusgangsArt::Quittung, "m", 7, {}, {}},
          TAusgangsSatz{TAusgangsArt::Nachricht, "", 0, "", std::string("\0\xFF", 2)},
          TAusgangsSatz{TAusgangsArt::Luecke, "m", 9, "t", "{}", 3}}) {
        const std::string text = AusgangsSatzText(satz);
        EXPECT_EQ(AusgangsSatzLaenge(text), text.size());
        EXPECT_EQ(AusgangsSatzLesen(text), satz);
        std::string kaputt = text;
        kaputt[7] ^= 0x01;
        EXPECT_EQ(AusgangsSatzLesen(kaputt), std::nullopt) << "the CRC finds a flipped bit";
    }
    // A gap that ends before it begins is damage, though its CRC fits.
    EXPECT_EQ(
        AusgangsSatzLesen(AusgangsSatzText(TAusgangsSatz{TAusgangsArt::Luecke, "m", 2, {}, {}, 3})),
        std::nullopt);
}

// A crash can cut the file after any byte of its last record: the records before it are all
// there, the torn one is gone, and the next message follows the last whole record.
TEST(Ausgang, AbgeschnittenNachJedemByteDesLetztenSatzes) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    const auto segment = pfad / "00000001.seg";
    std::uintmax_t vorLetztem = 0;
    {
        TAusgang ausgang(pfad);
        ausgang.Ablegen(Nachricht("m", 1));
        ausgang.Ablegen(Nachricht("m", 2));
        vorLetztem = std::filesystem::file_size(segment);
        ausgang.Ablegen(Nachricht("m", 3));
    }
    const std::string ganz = DateiLesen(segment);
    for (std::size_t laenge = vorLetztem; laenge < ganz.size(); ++laenge) {
        DateiSchreiben(segment, ganz.substr(0, laenge));
        {
            TAusgang ausgang(pfad);
            EXPECT_EQ(ausgang.Wartend(), 2U) << "cut at " << laenge;
            ausgang.Ablegen(Nachricht("m", 4));
        }
        TAusgang wieder(pfad);
        EXPECT_EQ(Folge(wieder, 10), "m:1 m:2 m:4") << "cut at " << laenge;
    }
    DateiSchreiben(segment, ganz);
    TAusgang ausgang(pfad);
    EXPECT_EQ(Folge(ausgang, 10), "m:1 m:2 m:3");
    EXPECT_EQ(ausgang.Schaden(), "") << "a torn end is no damage";
}

// An outbox file of an earlier version cut in its header is taken over as an empty segment.
TEST(Ausgang, KopfAbgeschnittenOderFremd) {
    const TTestOrdner ordner;
    DateiSchreiben(ordner / "halb", std::string(AusgangMagie.substr(0, 5)));
    EXPECT_EQ(TAusgang(ordner / "halb").Wartend(), 0U);
    EXPECT_EQ(DateiLesen(ordner / "halb" / "00000001.seg"), AusgangMagie);
    DateiSchreiben(ordner / "fremd", "Messwerte\n");
    EXPECT_THROW(TAusgang(ordner / "fremd"), EMeldung);
    EXPECT_EQ(DateiLesen(ordner / "fremd"), "Messwerte\n") << "another file is never touched";
}

TEST(Ausgang, NurEinProgrammZugleich) {
    const TTestOrdner ordner;
    const TAusgang erster(ordner / "a" / "b");
    EXPECT_THROW(TAusgang(ordner / "a" / "b"), EMeldung);
    EXPECT_EQ(Verzeichnisinhalt(ordner / "a" / "b"), "sperre");
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

TEST(Ausgang, PfadJeArbeitsplatzUndMessgeraet) {
    EXPECT_EQ(AusgangsPfad("/var/lib/q", "labor/3", "/dev/ttyUSB0"),
              "/var/lib/q/quorlits/ausgang/labor%2F3/%2Fdev%2FttyUSB0");
    EXPECT_EQ(AusgangsPfad("/s", "..", ""), "/s/quorlits/ausgang/%2E%2E/%");
}

} // namespace
