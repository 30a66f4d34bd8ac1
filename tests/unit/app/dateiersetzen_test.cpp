// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Replacing a file that others share or whose folder is read-only: owner, group and permissions
// stay, the content is new and whole, and the crash-safe rename is used wherever it keeps them.
#include "DateiGroessenGrenze.h"
#include "TestOrdner.h"
#include "app/DateiErsetzen.h"
#include "storage/EInOutError.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t Nobody = 65534;
constexpr gid_t Nogroup = 65534;
constexpr gid_t Users = 100;

const std::string NeuerInhalt = "1         ; neu\r\n0         ; neu\r\n";

struct TKennung {
    uid_t Nutzer = 0;
    gid_t Gruppe = 0;
    mode_t Modus = 0;
    ino_t Inode = 0;
};

TKennung Kennung(const fs::path& pfad) {
    struct stat info {};
    if (::stat(pfad.c_str(), &info) != 0) {
        ADD_FAILURE() << "fehlt: " << pfad;
    }
    return {info.st_uid, info.st_gid, info.st_mode & 07777, info.st_ino};
}

// Owner, group and permissions of `pfad`; another owner is only possible when running as root.
void Einrichten(const fs::path& pfad, uid_t nutzer, gid_t gruppe, mode_t modus) {
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(pfad.c_str(), nutzer, gruppe), 0) << pfad;
    }
    ASSERT_EQ(::chmod(pfad.c_str(), modus), 0) << pfad;
}

// 0 when the unprivileged user replaced the file, 1 when DateiErsetzen refused.
int AlsTestnutzerErsetzen(const fs::path& pfad, std::optional<gid_t> gruppe = std::nullopt) {
    return ImKindprozess([&] { return DateiErsetzen(pfad, NeuerInhalt) ? 0 : 1; }, true, gruppe);
}

// A folder "gesperrt" of the unprivileged user inside `ordner`, which becomes the user's too.
fs::path OrdnerDesTestnutzers(const TTestOrdner& ordner) {
    DemTestnutzerGeben(ordner.Pfad());
    const fs::path gesperrt = ordner / "gesperrt";
    fs::create_directory(gesperrt);
    DemTestnutzerGeben(gesperrt);
    return gesperrt;
}

void ErwarteSelbeDatei(const TKennung& vorher, const TKennung& nachher) {
    EXPECT_EQ(nachher.Nutzer, vorher.Nutzer);
    EXPECT_EQ(nachher.Gruppe, vorher.Gruppe);
    EXPECT_EQ(nachher.Modus, vorher.Modus);
    EXPECT_EQ(nachher.Inode, vorher.Inode) << "am Ort geschrieben";
}

// root:users 0664, saved by a member of "users": the new file would belong to nobody:nogroup,
// so the file is rewritten in place, whether or not the folder lets the temporary file be made.
TEST(DateiErsetzen, GeteilteDateiBehaeltBesitzerUndGruppe) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "nur root kann die Datei einem anderen Nutzer geben";
    }
    for (const mode_t ordnerModus : {0775u, 0755u}) {
        TTestOrdner ordner;
        DemTestnutzerGeben(ordner.Pfad());
        const fs::path geteilt = ordner / "geteilt";
        fs::create_directory(geteilt);
        Einrichten(geteilt, 0, Users, ordnerModus);
        DateiSchreiben(geteilt / "PHRX.CFG", std::string(500, 'x'));
        Einrichten(geteilt / "PHRX.CFG", 0, Users, 0664);
        const TKennung vorher = Kennung(geteilt / "PHRX.CFG");

        EXPECT_EQ(AlsTestnutzerErsetzen(geteilt / "PHRX.CFG", Users), 0) << ordnerModus;
        ErwarteSelbeDatei(vorher, Kennung(geteilt / "PHRX.CFG"));
        EXPECT_EQ(DateiLesen(geteilt / "PHRX.CFG"), NeuerInhalt);
        EXPECT_EQ(Verzeichnisinhalt(geteilt), "PHRX.CFG");
    }
}

// The user's own file in a folder only root may change; reached directly and through a link.
// A longer old content leaves no tail behind.
TEST(DateiErsetzen, SchreibgeschuetzterOrdnerWirdAmOrtGeschrieben) {
    TTestOrdner ordner;
    const fs::path gesperrt = OrdnerDesTestnutzers(ordner);
    fs::create_symlink("gesperrt/PHRX.CFG", ordner / "link");
    for (const fs::path& pfad : {gesperrt / "PHRX.CFG", ordner / "link"}) {
        ASSERT_EQ(::chmod(gesperrt.c_str(), 0755), 0);
        DateiSchreiben(gesperrt / "PHRX.CFG", std::string(1000, '7'));
        Einrichten(gesperrt / "PHRX.CFG", Nobody, Nogroup, 0640);
        ASSERT_EQ(::chmod(gesperrt.c_str(), 0555), 0);
        const TKennung vorher = Kennung(gesperrt / "PHRX.CFG");

        EXPECT_EQ(AlsTestnutzerErsetzen(pfad), 0) << pfad;
        ErwarteSelbeDatei(vorher, Kennung(gesperrt / "PHRX.CFG"));
        EXPECT_EQ(DateiLesen(gesperrt / "PHRX.CFG"), NeuerInhalt) << pfad;
        EXPECT_EQ(Verzeichnisinhalt(gesperrt), "PHRX.CFG");
        EXPECT_TRUE(fs::is_symlink(ordner / "link"));
    }
}

// Rewriting in place must not pass over the file's own protection or its kind.
TEST(DateiErsetzen, SchreibgeschuetzterOrdnerUndDateiBleiben) {
    TTestOrdner ordner;
    const fs::path gesperrt = OrdnerDesTestnutzers(ordner);
    DateiSchreiben(gesperrt / "PHRX.CFG", "fest");
    Einrichten(gesperrt / "PHRX.CFG", Nobody, Nogroup, 0444);
    ASSERT_EQ(::mkfifo((gesperrt / "fifo").c_str(), 0666), 0);
    DemTestnutzerGeben(gesperrt / "fifo");
    ASSERT_EQ(::chmod(gesperrt.c_str(), 0555), 0);

    EXPECT_EQ(AlsTestnutzerErsetzen(gesperrt / "PHRX.CFG"), 1);
    EXPECT_EQ(AlsTestnutzerErsetzen(gesperrt / "fifo"), 1);
    EXPECT_EQ(DateiLesen(gesperrt / "PHRX.CFG"), "fest");
    EXPECT_TRUE(fs::is_fifo(gesperrt / "fifo"));
}

// A write that fails part-way in place is reported, not lost in silence: the file-size limit
// stops it as a full disk would.
TEST(DateiErsetzen, SchreibfehlerAmOrtWirdGemeldet) {
    TTestOrdner ordner;
    DemTestnutzerGeben(ordner.Pfad());
    DateiSchreiben(ordner / "PHRX.CFG", "alt");
    DemTestnutzerGeben(ordner / "PHRX.CFG");
    ASSERT_EQ(::chmod(ordner.Pfad().c_str(), 0555), 0);
    const int ergebnis = ImKindprozess(
        [&] {
            const TDateiGroessenGrenze grenze(10);
            try {
                DateiErsetzen(ordner / "PHRX.CFG", NeuerInhalt);
            } catch (const EInOutError& fehler) {
                return fehler.ErrorCode() == 101 ? 0 : 11;
            }
            return 12;
        },
        true);
    EXPECT_EQ(ergebnis, 0) << "92: kein Limit, 11: falscher Code, 12: kein Fehler gemeldet";
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "PHRX.CFG");
}

// Where the new file can have the old owner and group, it replaces the old one by a rename (a
// new inode): the user's own file, a file in a folder that hands its group on, and, for root,
// a file of another user.
TEST(DateiErsetzen, UmbenennenWoBesitzerBleibt) {
    TTestOrdner ordner;
    DemTestnutzerGeben(ordner.Pfad());
    const fs::path vererbt = ordner / "vererbt";
    fs::create_directory(vererbt);
    Einrichten(vererbt, Nobody, Users, 02775);
    struct TFall {
        fs::path Pfad;
        uid_t Nutzer;
        gid_t Gruppe;
        bool AlsTestnutzer;
    };
    for (const TFall& fall : {TFall{ordner / "eigen", Nobody, Nogroup, true},
                              TFall{vererbt / "gruppe", Nobody, Users, true},
                              TFall{ordner / "fremd", Nobody, Users, false}}) {
        DateiSchreiben(fall.Pfad, std::string(500, 'x'));
        Einrichten(fall.Pfad, fall.Nutzer, fall.Gruppe, 0640);
        const TKennung vorher = Kennung(fall.Pfad);

        if (fall.AlsTestnutzer) {
            EXPECT_EQ(AlsTestnutzerErsetzen(fall.Pfad), 0) << fall.Pfad;
        } else {
            EXPECT_TRUE(DateiErsetzen(fall.Pfad, NeuerInhalt)) << fall.Pfad;
        }
        const TKennung nachher = Kennung(fall.Pfad);
        EXPECT_EQ(nachher.Nutzer, vorher.Nutzer) << fall.Pfad;
        EXPECT_EQ(nachher.Gruppe, vorher.Gruppe) << fall.Pfad;
        EXPECT_EQ(nachher.Modus, 0640u) << fall.Pfad;
        EXPECT_NE(nachher.Inode, vorher.Inode) << fall.Pfad << ": nicht umbenannt";
        EXPECT_EQ(DateiLesen(fall.Pfad), NeuerInhalt) << fall.Pfad;
    }
    EXPECT_EQ(Verzeichnisinhalt(ordner.Pfad()), "eigen fremd vererbt");
    EXPECT_EQ(Verzeichnisinhalt(vererbt), "gruppe");
}

} // namespace
