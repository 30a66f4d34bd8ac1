// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Rahmen.h"

#include "tests/unit/acquisition/Geraetetext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TDatensatz {
    std::string Text;
    bool Gerahmt = false;
    bool operator==(const TDatensatz&) const = default;
};

// Feeds chunks as the receive dispatcher does: a completed record is taken and the buffer
// emptied.
std::vector<TDatensatz> Einspeisen(TRahmenZustand& zustand,
                                   const std::vector<std::string>& chunks) {
    std::vector<TDatensatz> saetze;
    for (const std::string& chunk : chunks) {
        if (RahmenPruefen(chunk, zustand)) {
            saetze.push_back({zustand.EmpfangsPuffer, zustand.Gerahmt});
            zustand.EmpfangsPuffer.clear();
        }
        EXPECT_LE(zustand.EmpfangsPuffer.size(), RahmenPufferGroesse);
    }
    return saetze;
}

std::vector<std::string> Bytes(const std::vector<std::string>& chunks) {
    std::vector<std::string> einzeln;
    for (const std::string& chunk : chunks) {
        for (const char zeichen : chunk) {
            einzeln.emplace_back(1, zeichen);
        }
    }
    return einzeln;
}

std::vector<std::string> Geraet(std::initializer_list<std::string_view> lesbar) {
    std::vector<std::string> chunks;
    for (const std::string_view text : lesbar) {
        chunks.push_back(Geraetetext(text));
    }
    return chunks;
}

TEST(RahmenPruefen, PlainLineCompletesAtEighteenthCharacterC) {
    TRahmenZustand zustand;
    EXPECT_FALSE(RahmenPruefen(" 7.01 pH   25.0 ", zustand));
    ASSERT_TRUE(RahmenPruefen(Geraetetext("°C"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, Geraetetext(" 7.01 pH   25.0 °C"));
    EXPECT_FALSE(zustand.Gerahmt);
    EXPECT_FALSE(zustand.InRahmen);
}

TEST(RahmenPruefen, LowerCaseCAlsoCompletesAPlainLine) {
    TRahmenZustand zustand;
    EXPECT_TRUE(RahmenPruefen("12345678901234567c", zustand));
}

TEST(RahmenPruefen, ChunkBeginningWithControlByteIsNotAppended) {
    TRahmenZustand zustand;
    zustand.EmpfangsPuffer = "abc";
    EXPECT_FALSE(RahmenPruefen(Geraetetext("{CR}{LF}"), zustand));
    EXPECT_FALSE(RahmenPruefen("\x01xyz", zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, "abc");
    // Control bytes inside a chunk that begins printably are taken.
    EXPECT_FALSE(RahmenPruefen("d\x01"
                               "e",
                               zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, "abcd\x01"
                                      "e");
}

TEST(RahmenPruefen, LineFeedDiscardsSeventeenWaitingCharacters) {
    TRahmenZustand zustand;
    zustand.EmpfangsPuffer = std::string(17, 'x');
    EXPECT_FALSE(RahmenPruefen(Geraetetext("{LF}"), zustand));
    EXPECT_TRUE(zustand.EmpfangsPuffer.empty());
}

TEST(RahmenPruefen, LineFeedCompletesEighteenWaitingCharactersWhateverTheEighteenth) {
    TRahmenZustand zustand;
    zustand.EmpfangsPuffer = std::string(18, 'x');
    EXPECT_TRUE(RahmenPruefen(Geraetetext("{LF}abc"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, std::string(18, 'x'));
    EXPECT_FALSE(zustand.Gerahmt);
}

TEST(RahmenPruefen, EighteenCharactersWithoutCWaitForLineFeed) {
    TRahmenZustand zustand;
    EXPECT_FALSE(RahmenPruefen("12345678901234567x", zustand));
    EXPECT_FALSE(RahmenPruefen("more", zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer.size(), 22U);
}

TEST(RahmenPruefen, FramedPrintoutOverThreeChunks) {
    TRahmenZustand zustand;
    const auto saetze =
        Einspeisen(zustand, Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "  1.413 mS/cm 25.0 °C{CR}{LF}",
                                    "TREF 25 C = 0.475{CR}{LF}{DC1}{CR}{LF}"}));
    const std::vector<TDatensatz> erwartet = {
        {Geraetetext("06.12.96 12:34  1.413 mS/cm 25.0 °CTREF 25 C = 0.475"), true}};
    EXPECT_EQ(saetze, erwartet);
    EXPECT_FALSE(zustand.InRahmen);
}

TEST(RahmenPruefen, FrameCompletesOnlyWithTheDc1Chunk) {
    TRahmenZustand zustand;
    EXPECT_FALSE(RahmenPruefen(Geraetetext("{DC3}06.12.96 12:34{CR}{LF}"), zustand));
    EXPECT_TRUE(zustand.InRahmen);
    // Inside a frame a chunk beginning with a line feed is appended like any other.
    EXPECT_FALSE(RahmenPruefen(Geraetetext("{LF}x"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, Geraetetext("06.12.96 12:34{CR}{LF}{LF}x"));
    EXPECT_TRUE(RahmenPruefen(Geraetetext("{DC1}"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, "06.12.96 12:34x");
}

TEST(RahmenPruefen, EmptyFrameCompletesAnEmptyRecord) {
    TRahmenZustand zustand;
    zustand.EmpfangsPuffer = "old";
    EXPECT_TRUE(RahmenPruefen(Geraetetext("{DC3}{DC1}"), zustand));
    EXPECT_TRUE(zustand.EmpfangsPuffer.empty());
    EXPECT_TRUE(zustand.Gerahmt);
}

TEST(RahmenPruefen, TextBeforeDc3AndAfterDc1IsDropped) {
    TRahmenZustand zustand;
    zustand.EmpfangsPuffer = "waiting";
    EXPECT_TRUE(RahmenPruefen(Geraetetext("junk{DC3}abc{DC1}xyz"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, "abc");
}

TEST(RahmenPruefen, NewDc3StartsTheFrameAfresh) {
    TRahmenZustand zustand;
    const auto saetze = Einspeisen(zustand, Geraet({"{DC3}old", "xx{DC3}new", "{LF}more{DC1}"}));
    const std::vector<TDatensatz> erwartet = {{"newmore", true}};
    EXPECT_EQ(saetze, erwartet);
}

TEST(RahmenPruefen, Dc1FollowedByDc3InOneChunkLosesTheOldEnd) {
    TRahmenZustand zustand;
    EXPECT_FALSE(RahmenPruefen(Geraetetext("{DC3}abc"), zustand));
    EXPECT_FALSE(RahmenPruefen(Geraetetext("def{DC1}x{DC3}ghi"), zustand));
    EXPECT_TRUE(zustand.InRahmen);
    EXPECT_TRUE(RahmenPruefen(Geraetetext("{DC1}"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, "ghi");
}

TEST(RahmenPruefen, GerahmtHoldsOnlyForTheCompletingChunk) {
    TRahmenZustand zustand;
    ASSERT_TRUE(RahmenPruefen(Geraetetext("{DC3}a{DC1}"), zustand));
    zustand.EmpfangsPuffer.clear();
    EXPECT_FALSE(RahmenPruefen("b", zustand));
    EXPECT_FALSE(zustand.Gerahmt);
}

TEST(RahmenPruefen, EmptyChunkChangesNothing) {
    for (const bool inRahmen : {false, true}) {
        TRahmenZustand zustand;
        zustand.InRahmen = inRahmen;
        zustand.EmpfangsPuffer = std::string(20, 'x');
        EXPECT_FALSE(RahmenPruefen("", zustand));
        EXPECT_EQ(zustand.EmpfangsPuffer, std::string(20, 'x'));
        EXPECT_EQ(zustand.InRahmen, inRahmen);
    }
}

TEST(RahmenPruefen, PlainLineIsCutAt255Bytes) {
    TRahmenZustand zustand;
    const std::string zeile(300, 'x');
    EXPECT_FALSE(RahmenPruefen(zeile.substr(0, 200), zustand));
    EXPECT_FALSE(RahmenPruefen(zeile.substr(200), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer.size(), RahmenPufferGroesse);
    EXPECT_TRUE(RahmenPruefen(Geraetetext("{LF}"), zustand));
    EXPECT_EQ(zustand.EmpfangsPuffer, std::string(RahmenPufferGroesse, 'x'));
}

// A 300-byte printout is kept truncated; its DC1 still ends the frame, so the plain line that
// follows is read as such.
TEST(RahmenPruefen, LongPrintoutCompletesTruncatedAndNextLineIsRead) {
    const std::string inhalt(300, 'A');
    const std::string zeile = Geraetetext(" 7.01 pH   25.0 °C");
    const TDatensatz gekuerzt{std::string(RahmenInhaltGroesse, 'A'), true};
    const std::vector<std::vector<std::string>> folgen = {
        {"\x13" + inhalt + "\x11", zeile},
        {"\x13" + inhalt.substr(0, 100), inhalt.substr(100, 200), "\x11\r\n", zeile},
        {"\x13", inhalt, "\x11", "\r\n", zeile, "\r\n"},
    };
    for (const auto& chunks : folgen) {
        for (const auto& zerlegt : {chunks, Bytes(chunks)}) {
            TRahmenZustand zustand;
            const std::vector<TDatensatz> erwartet = {gekuerzt, {zeile, false}};
            EXPECT_EQ(Einspeisen(zustand, zerlegt), erwartet);
        }
    }
}

TEST(RahmenPruefen, ControlBytesOfATruncatedPrintoutAreRemovedAfterTheCut) {
    TRahmenZustand zustand;
    std::string inhalt;
    for (int zeile = 0; zeile < 30; ++zeile) {
        inhalt += "123456789\r\n";
    }
    ASSERT_TRUE(RahmenPruefen("\x13" + inhalt + "\x11", zustand));
    EXPECT_LE(zustand.EmpfangsPuffer.size(), RahmenPufferGroesse);
    EXPECT_EQ(zustand.EmpfangsPuffer.find_first_of("\r\n"), std::string::npos);
    // 254 bytes hold 23 full lines of 11 bytes and the first digit of the next.
    EXPECT_EQ(zustand.EmpfangsPuffer.size(), 23U * 9U + 1U);
}

// The main window feeds one byte at a time; the records must be the same as when the meter's
// chunks arrive whole. (A LF-beginning chunk becomes a LF byte; whole-chunk cases that differ by
// design, such as bytes after a DC1 in the same chunk, are not listed.)
TEST(RahmenPruefen, ByteByByteFeedingGivesTheSameRecords) {
    struct TFall {
        std::vector<std::string> Chunks;
        std::vector<TDatensatz> Erwartet;
    };
    const std::vector<TFall> faelle = {
        {Geraet({" 7.01 pH   25.0 ", "°C", "{CR}{LF}"}),
         {{Geraetetext(" 7.01 pH   25.0 °C"), false}}},
        {Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "  1.413 mS/cm 25.0 °C{CR}{LF}",
                 "TREF 25 C = 0.475{CR}{LF}", "{DC1}"}),
         {{Geraetetext("06.12.96 12:34  1.413 mS/cm 25.0 °CTREF 25 C = 0.475"), true}}},
        {Geraet({"{DC3}06.12.96 12:34  7.012 pH  25.0 °C{DC1}"}),
         {{Geraetetext("06.12.96 12:34  7.012 pH  25.0 °C"), true}}},
        {Geraet({"1234567890123456789", "{LF}", "abc", "{LF}", "{DC3}{DC1}"}),
         {{"1234567890123456789", false}, {"", true}}},
        {Geraet({"{DC3}old", "{DC3}new", "{DC1}"}), {{"new", true}}},
    };
    for (const TFall& fall : faelle) {
        TRahmenZustand ganz;
        TRahmenZustand einzeln;
        EXPECT_EQ(Einspeisen(ganz, fall.Chunks), fall.Erwartet);
        EXPECT_EQ(Einspeisen(einzeln, Bytes(fall.Chunks)), fall.Erwartet);
    }
}

} // namespace
