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

// One state step: the buffer and frame flag before, the chunks fed without taking a record,
// and the state after the last chunk. Only the last chunk may complete a record.
struct TSchritt {
    const char* Name;
    std::string Vorher;
    std::vector<std::string> Chunks;
    bool Fertig;
    std::string Nachher;
    bool Gerahmt = false;
    bool InRahmen = false;
    bool VorherInRahmen = false;
};

TEST(RahmenPruefen, StateAfterChunks) {
    const std::string x17(17, 'x');
    const std::string x18(18, 'x');
    const std::string x20(20, 'x');
    const std::string x255(RahmenPufferGroesse, 'x');
    const std::string x100(100, 'x');
    const std::string x200(200, 'x');
    const std::vector<TSchritt> schritte = {
        {"18th character C completes", "", Geraet({" 7.01 pH   25.0 ", "°C"}), true,
         Geraetetext(" 7.01 pH   25.0 °C")},
        {"18th character c completes", "", {"12345678901234567c"}, true, "12345678901234567c"},
        {"18 without C wait for LF",
         "",
         {"12345678901234567x", "more"},
         false,
         "12345678901234567xmore"},
        {"chunk starting with control byte dropped", "abc", Geraet({"{CR}{LF}", "\001xyz"}), false,
         "abc"},
        {"control byte inside chunk kept", "abc", {"d\001e"}, false, "abcd\001e"},
        {"LF discards 17 characters", x17, Geraet({"{LF}"}), false, ""},
        {"LF completes 18 characters", x18, Geraet({"{LF}abc"}), true, x18},
        {"LF chunk appended in frame", "", Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "{LF}x"}), false,
         Geraetetext("06.12.96 12:34{CR}{LF}{LF}x"), false, true},
        {"only DC1 completes a frame", "",
         Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "{LF}x", "{DC1}"}), true, "06.12.96 12:34x", true},
        {"empty frame, empty record", "old", Geraet({"{DC3}{DC1}"}), true, "", true},
        {"text around frame dropped", "waiting", Geraet({"junk{DC3}abc{DC1}xyz"}), true, "abc",
         true},
        {"DC1 then DC3 in one chunk", "", Geraet({"{DC3}abc", "def{DC1}x{DC3}ghi"}), false, "ghi",
         false, true},
        {"... next DC1 ends it", "", Geraet({"{DC3}abc", "def{DC1}x{DC3}ghi", "{DC1}"}), true,
         "ghi", true},
        {"empty chunk", x20, {""}, false, x20},
        {"empty chunk in frame", x20, {""}, false, x20, false, true, true},
        {"plain line cut at 255", "", {x200, x100}, false, x255},
        {"cut line completes on LF", "", {x200, x100, "\n"}, true, x255},
    };
    for (const TSchritt& s : schritte) {
        SCOPED_TRACE(s.Name);
        TRahmenZustand zustand;
        zustand.EmpfangsPuffer = s.Vorher;
        zustand.InRahmen = s.VorherInRahmen;
        for (std::size_t i = 0; i < s.Chunks.size(); ++i) {
            const bool fertig = RahmenPruefen(s.Chunks[i], zustand);
            EXPECT_EQ(fertig, i + 1 == s.Chunks.size() && s.Fertig) << "chunk " << i;
            EXPECT_LE(zustand.EmpfangsPuffer.size(), RahmenPufferGroesse);
        }
        EXPECT_EQ(zustand.EmpfangsPuffer, s.Nachher);
        EXPECT_EQ(zustand.Gerahmt, s.Gerahmt);
        EXPECT_EQ(zustand.InRahmen, s.InRahmen);
    }
}

TEST(RahmenPruefen, GerahmtHoldsOnlyForTheCompletingChunk) {
    TRahmenZustand zustand;
    ASSERT_TRUE(RahmenPruefen(Geraetetext("{DC3}a{DC1}"), zustand));
    zustand.EmpfangsPuffer.clear();
    EXPECT_FALSE(RahmenPruefen("b", zustand));
    EXPECT_FALSE(zustand.Gerahmt);
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
    EXPECT_EQ(zustand.EmpfangsPuffer.find_first_of("\r\n"), std::string::npos);
    // 254 bytes hold 23 full lines of 11 bytes and the first digit of the next.
    EXPECT_EQ(zustand.EmpfangsPuffer.size(), 23U * 9U + 1U);
}

// The meter's chunks arrive whole, but the main window feeds one byte at a time: both must give
// the same records. (A LF-beginning chunk becomes a LF byte; whole-chunk cases that differ by
// design, such as printable bytes after a DC1 in the same chunk, are not listed.)
TEST(RahmenPruefen, WholeAndByteByByteFeedingGiveTheSameRecords) {
    struct TFall {
        std::vector<std::string> Chunks;
        std::vector<TDatensatz> Erwartet;
    };
    const TDatensatz leitfaehigkeit{
        Geraetetext("06.12.96 12:34  1.413 mS/cm 25.0 °CTREF 25 C = 0.475"), true};
    const std::vector<TFall> faelle = {
        {Geraet({" 7.01 pH   25.0 ", "°C", "{CR}{LF}"}),
         {{Geraetetext(" 7.01 pH   25.0 °C"), false}}},
        {Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "  1.413 mS/cm 25.0 °C{CR}{LF}",
                 "TREF 25 C = 0.475{CR}{LF}", "{DC1}"}),
         {leitfaehigkeit}},
        {Geraet({"{DC3}06.12.96 12:34{CR}{LF}", "  1.413 mS/cm 25.0 °C{CR}{LF}",
                 "TREF 25 C = 0.475{CR}{LF}{DC1}{CR}{LF}"}),
         {leitfaehigkeit}},
        {Geraet({"{DC3}06.12.96 12:34  7.012 pH  25.0 °C{DC1}"}),
         {{Geraetetext("06.12.96 12:34  7.012 pH  25.0 °C"), true}}},
        {Geraet({"1234567890123456789", "{LF}", "abc", "{LF}", "{DC3}{DC1}"}),
         {{"1234567890123456789", false}, {"", true}}},
        // A new DC3 starts the frame afresh.
        {Geraet({"{DC3}old", "{DC3}new", "{DC1}"}), {{"new", true}}},
        {Geraet({"{DC3}old", "xx{DC3}new", "{LF}more{DC1}"}), {{"newmore", true}}},
    };
    for (const TFall& fall : faelle) {
        for (const auto& zerlegt : {fall.Chunks, Bytes(fall.Chunks)}) {
            SCOPED_TRACE(zerlegt.size());
            TRahmenZustand zustand;
            EXPECT_EQ(Einspeisen(zustand, zerlegt), fall.Erwartet);
            EXPECT_FALSE(zustand.InRahmen);
        }
    }
}

} // namespace
