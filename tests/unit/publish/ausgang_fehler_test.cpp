// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The outbox when the disk refuses: a failing sync, a failing or half write, no room for a new
// segment, and a segment damaged in its middle.
#include "AusgangHilfe.h"

#include "publish/AusgangOrdner.h"
#include "storage/EInOutError.h"
#include "tests/unit/common/TestOrdner.h"
#include "tests/unit/storage/TestAufrufe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace {

constexpr std::int64_t Sekunde = 1'000'000'000;

// Besides TTestAufrufe: a write that takes half its bytes and then fails as a full disk does,
// and a file system with only `Frei` bytes free.
class TAusgangsAufrufe : public TTestAufrufe {
public:
    bool HalbSchreiben = false;
    std::uint64_t Frei = std::numeric_limits<std::uint64_t>::max();

    ssize_t Write(int fd, const void* daten, std::size_t anzahl) override {
        if (HalbSchreiben && anzahl > 1) {
            HalbSchreiben = false;
            SchreibFehler = ENOSPC;
            return TEchteDateiAufrufe::Write(fd, daten, anzahl / 2);
        }
        return TTestAufrufe::Write(fd, daten, anzahl);
    }
    int Statvfs(const char* pfad, struct statvfs& info) override {
        const int ergebnis = TTestAufrufe::Statvfs(pfad, info);
        info.f_bavail = std::min<std::uint64_t>(info.f_bavail, Frei / info.f_frsize);
        return ergebnis;
    }
};

class AusgangFehler : public ::testing::Test {
protected:
    std::unique_ptr<TAusgang> Oeffnen(std::uint64_t grenze = 1024ULL * 1024ULL * 1024ULL) {
        return std::make_unique<TAusgang>(pfad, grenze, aufrufe, [this] { return aufrufe.Jetzt; });
    }

    TTestOrdner ordner;
    std::filesystem::path pfad = ordner / "ausgang";
    TAusgangsAufrufe aufrufe;
};

// A failed fdatasync is not forgotten: the outbox stays unsaved and the sync raises on every
// call until one succeeds.
TEST_F(AusgangFehler, SyncFehlerBleibtBisZumErfolg) {
    const auto ausgang = Oeffnen();
    ausgang->Ablegen(Nachricht("m", 1));
    aufrufe.SyncFehler = EIO;
    EXPECT_THROW(ausgang->Synchronisieren(), EInOutError);
    EXPECT_TRUE(ausgang->Ungesichert());
    EXPECT_THROW(ausgang->Synchronisieren(), EInOutError) << "tried again, and told again";
    aufrufe.SyncFehler = 0;
    ausgang->Synchronisieren();
    EXPECT_FALSE(ausgang->Ungesichert());
}

// A write that fails half-way leaves no piece in the segment and raises (the message takes no
// seq). For 5 s nothing is written: messages are dropped and counted, and the first write
// afterwards puts their gap record before the new message. A failure after the wait waits
// twice as long.
TEST_F(AusgangFehler, SchreibfehlerWartetUndHinterlaesstEineLuecke) {
    const auto ausgang = Oeffnen();
    ausgang->Ablegen(Nachricht("m", 1));
    const auto segment = pfad / "00000001.seg";
    const std::uintmax_t groesse = std::filesystem::file_size(segment);
    aufrufe.HalbSchreiben = true;
    EXPECT_THROW(ausgang->Ablegen(Nachricht("m", 2)), EInOutError);
    EXPECT_EQ(std::filesystem::file_size(segment), groesse) << "no piece of a record stays";
    EXPECT_EQ(ausgang->Verworfen(), 0U) << "a refused message is no gap";

    aufrufe.SchreibFehler = 0;
    const int schreiben = aufrufe.Zaehlen("write");
    aufrufe.Jetzt += 4 * Sekunde;
    ausgang->Ablegen(Nachricht("m", 2));
    ausgang->Ablegen(Nachricht("m", 3));
    EXPECT_EQ(aufrufe.Zaehlen("write"), schreiben) << "no write while it waits";
    EXPECT_EQ(ausgang->Verworfen(), 2U);
    aufrufe.Jetzt += Sekunde;
    ausgang->Ablegen(Nachricht("m", 4));
    EXPECT_EQ(Folge(*ausgang, 10), "m:1 m:2-3 m:4");

    aufrufe.SchreibFehler = EIO;
    EXPECT_THROW(ausgang->Ablegen(Nachricht("m", 5)), EInOutError);
    aufrufe.Jetzt += 5 * Sekunde;
    EXPECT_THROW(ausgang->Ablegen(Nachricht("m", 5)), EInOutError);
    aufrufe.SchreibFehler = 0;
    aufrufe.Jetzt += 5 * Sekunde;
    ausgang->Ablegen(Nachricht("m", 5));
    EXPECT_EQ(ausgang->Verworfen(), 3U) << "the second failure waits 10 s";
    aufrufe.Jetzt += 5 * Sekunde;
    ausgang->Ablegen(Nachricht("m", 6));
    EXPECT_EQ(Folge(*ausgang, 10), "m:5-5 m:6");
}

// Below twice a segment's size free, no segment is made (and none is left behind); the outbox
// waits as after a failed write.
TEST_F(AusgangFehler, KeinSegmentOhnePlatz) {
    const auto ausgang = Oeffnen();
    aufrufe.Frei = 1024 * 1024;
    EXPECT_THROW(ausgang->Ablegen(Nachricht("m", 1)), EInOutError);
    EXPECT_EQ(Verzeichnisinhalt(pfad), "sperre");
    aufrufe.Frei = std::numeric_limits<std::uint64_t>::max();
    aufrufe.Jetzt += 5 * Sekunde;
    ausgang->Ablegen(Nachricht("m", 1));
    EXPECT_EQ(Verzeichnisinhalt(pfad), "00000001.seg sperre");
    EXPECT_EQ(aufrufe.Zaehlen("fsync-ordner"), 3) << "the folder and its parent, then the segment";
}

// A damaged record in the middle of a segment: the rest of that segment goes aside into a file
// of its own, once told, and the later segments stay.
TEST_F(AusgangFehler, BeschaedigtesSegmentGehtBeiseite) {
    const std::uint64_t satz = AusgangsSatzText(Nachricht("m", 1)).size();
    const std::uint64_t grenze = 8 * (AusgangMagie.size() + 2 * satz);
    {
        const auto ausgang = Oeffnen(grenze);
        for (std::uint64_t seq = 1; seq <= 6; ++seq) {
            ausgang->Ablegen(Nachricht("m", seq));
        }
        ASSERT_EQ(ausgang->Segmente(), 3U);
    }
    const auto segment = pfad / "00000002.seg";
    std::string inhalt = DateiLesen(segment);
    inhalt[AusgangMagie.size() + 7] ^= 0x10;
    DateiSchreiben(segment, inhalt);

    const auto ausgang = Oeffnen(grenze);
    EXPECT_EQ(Folge(*ausgang, 10), "m:1 m:2 m:5 m:6");
    EXPECT_NE(ausgang->Schaden().find("00000002.seg.beschaedigt-1"), std::string::npos)
        << ausgang->Schaden();
    EXPECT_EQ(DateiLesen(pfad / "00000002.seg.beschaedigt-1"), inhalt.substr(AusgangMagie.size()));
    EXPECT_FALSE(std::filesystem::exists(segment)) << "nothing of it waits any more";
}

} // namespace
