// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The outbox at its limit and across its segments: what it drops becomes gap records, and
// acknowledgements keep their effect when the segment that held them goes.
#include "AusgangHilfe.h"

#include "framework/Meldung.h"
#include "publish/AusgangOrdner.h"
#include "tests/unit/common/TestOrdner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

namespace {

const std::uint64_t SatzLaenge = AusgangsSatzText(Nachricht("m", 1)).size();

// A limit whose segments (an eighth of it) hold two messages each.
const std::uint64_t ZweiJeSegment = 8 * (AusgangMagie.size() + 2 * SatzLaenge);

// The seqs the records cover, each once, and the gaps among them.
struct TAbdeckung {
    std::multiset<std::uint64_t> Seqs;
    std::vector<TAusgangsSatz> Luecken;
};

TAbdeckung Abdeckung(const std::vector<TAusgangsSatz>& saetze) {
    TAbdeckung abdeckung;
    for (const TAusgangsSatz& satz : saetze) {
        const bool luecke = satz.Art == TAusgangsArt::Luecke;
        for (std::uint64_t seq = luecke ? satz.VonSeq : satz.Seq; seq <= satz.Seq; ++seq) {
            abdeckung.Seqs.insert(seq);
        }
        if (luecke) {
            abdeckung.Luecken.push_back(satz);
        }
    }
    return abdeckung;
}

// A full outbox drops whole oldest segments and writes in their place a gap record that
// covers exactly what went; after a restart, once the collector acknowledged the last gap's
// seq, the later messages go out, and their acknowledgement empties the outbox: a drop never
// holds up the bench for good.
TEST(AusgangVoll, LueckeStattVerworfenerNachrichten) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    std::vector<std::string> meldungen;
    std::uint64_t verworfen = 0;
    {
        TAusgang ausgang(pfad, ZweiJeSegment);
        ausgang.BeiVoll = [&meldungen](const std::string& text) { meldungen.push_back(text); };
        ausgang.LueckeBauen = [](TAusgangsSatz& luecke) {
            luecke.Thema = "quorlits/v1/b/m/event";
            luecke.Inhalt = "gap " + std::to_string(luecke.VonSeq);
        };
        for (std::uint64_t seq = 1; seq <= 60; ++seq) {
            ausgang.Ablegen(Nachricht("m", seq));
            ASSERT_LE(ausgang.Dateigroesse(), ZweiJeSegment) << "seq " << seq;
        }
        verworfen = ausgang.Verworfen();
        EXPECT_GT(verworfen, 40U);
        EXPECT_THROW(TAusgang(pfad, ZweiJeSegment), EMeldung) << "the lock stays with the first";
    }
    ASSERT_EQ(meldungen.size(), 1U);
    EXPECT_NE(
        meldungen[0].find("(Grenze " + std::to_string(ZweiJeSegment) + " Bytes, OutboxGrenze)"),
        std::string::npos)
        << meldungen[0];
    EXPECT_NE(meldungen[0].find("Messung m: seq 1 bis "), std::string::npos) << meldungen[0];
    EXPECT_NE(meldungen[0].find(" verworfen: Ausgang voll"), std::string::npos) << meldungen[0];

    TAusgang wieder(pfad, ZweiJeSegment);
    const TAbdeckung abdeckung = Abdeckung(wieder.Naechste(1000));
    std::multiset<std::uint64_t> alle;
    for (std::uint64_t seq = 1; seq <= 60; ++seq) {
        alle.insert(seq);
    }
    EXPECT_EQ(abdeckung.Seqs, alle) << "every seq once, as a message or within a gap";
    ASSERT_FALSE(abdeckung.Luecken.empty());
    EXPECT_EQ(wieder.Wartend(), 60 - verworfen + abdeckung.Luecken.size());
    const TAusgangsSatz& letzte = *std::max_element(
        abdeckung.Luecken.begin(), abdeckung.Luecken.end(),
        [](const TAusgangsSatz& a, const TAusgangsSatz& b) { return a.Seq < b.Seq; });
    EXPECT_EQ(letzte.Thema, "quorlits/v1/b/m/event");
    EXPECT_EQ(letzte.Inhalt, "gap " + std::to_string(letzte.VonSeq));

    EXPECT_EQ(wieder.QuittungNehmen("m", letzte.Seq), abdeckung.Luecken.size());
    EXPECT_EQ(wieder.Wartend(), 60 - verworfen);
    wieder.Zuruecksetzen();
    EXPECT_EQ(Folge(wieder, 1), "m:" + std::to_string(letzte.Seq + 1));
    wieder.QuittungNehmen("m", 60);
    EXPECT_EQ(wieder.Wartend(), 0U);
    EXPECT_EQ(wieder.Segmente(), 1U);
    EXPECT_EQ(wieder.Dateigroesse(), AusgangMagie.size());
    EXPECT_EQ(SegmentNummern(pfad).size(), 1U) << Verzeichnisinhalt(pfad);
}

// An acknowledgement is written to the newest segment of its time. When that segment goes
// while an older one stays (a message of another measurement still waits there), the
// acknowledgements written at the start of each new segment keep the older segment's
// acknowledged messages from coming back after a restart.
TEST(AusgangSegmente, QuittungenUeberlebenIhrSegment) {
    const TTestOrdner ordner;
    const auto pfad = ordner / "ausgang";
    {
        TAusgang ausgang(pfad, ZweiJeSegment);
        ausgang.Ablegen(Nachricht("alt", 1));
        for (std::uint64_t seq = 1; seq <= 4; ++seq) {
            ausgang.Ablegen(Nachricht("neu", seq));
        }
        // 1: alt:1 neu:1, 2: neu:2 neu:3, 3: neu:4 and now the acknowledgement.
        ausgang.QuittungNehmen("neu", 4);
        EXPECT_EQ(ausgang.Segmente(), 2U) << "the middle one went, the newest stays";
        for (std::uint64_t seq = 5; seq <= 9; ++seq) {
            ausgang.Ablegen(Nachricht("neu", seq));
        }
        EXPECT_EQ(ausgang.Verworfen(), 0U);
        EXPECT_EQ(SegmentNummern(pfad).front(), 1U);
        EXPECT_EQ(SegmentNummern(pfad).size(), ausgang.Segmente());
    }
    TAusgang wieder(pfad, ZweiJeSegment);
    EXPECT_EQ(Folge(wieder, 10), "alt:1 neu:5 neu:6 neu:7 neu:8 neu:9");
}

} // namespace
