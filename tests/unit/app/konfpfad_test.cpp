// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Where PHRX.CFG lives: beside the executable, or in the user's folder for the installed one.
#include "app/KonfPfad.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

struct TPfadFall {
    const char* name;
    const char* programm;
    const char* installBin;
    TUmgebung umgebung;
    const char* erwartet;
};

void PrintTo(const TPfadFall& fall, std::ostream* os) {
    *os << fall.name;
}

class Pfadwahl : public testing::TestWithParam<TPfadFall> {};

TEST_P(Pfadwahl, Entscheidet) {
    const TPfadFall& fall = GetParam();
    EXPECT_EQ(KonfigurationsPfad(fall.programm, fall.installBin, fall.umgebung),
              fs::path(fall.erwartet));
}

const TUmgebung Alle{"/xdg", "/home/ute", "/home/pw"};
const TUmgebung OhneXdg{"", "/home/ute", "/home/pw"};
const TUmgebung NurPasswort{"", "", "/home/pw"};
const TUmgebung Keine{"", "", ""};

INSTANTIATE_TEST_SUITE_P(
    NebenDemProgramm, Pfadwahl,
    testing::Values(TPfadFall{"Bauordner", "/work/build/shell/quorlits", "/usr/bin", Alle,
                              "/work/build/shell/PHRX.CFG"},
                    TPfadFall{"AndererPrefix", "/opt/quorlits/bin/quorlits", "/usr/bin", Alle,
                              "/opt/quorlits/bin/PHRX.CFG"},
                    TPfadFall{"UnterordnerDesInstallordners", "/usr/bin/sub/quorlits", "/usr/bin",
                              Alle, "/usr/bin/sub/PHRX.CFG"},
                    TPfadFall{"GleicherAnfangIstNichtGleicherOrdner", "/usr/binx/quorlits",
                              "/usr/bin", Alle, "/usr/binx/PHRX.CFG"},
                    TPfadFall{"ElternordnerDesInstallordners", "/usr/quorlits", "/usr/bin", Alle,
                              "/usr/PHRX.CFG"},
                    TPfadFall{"KeinInstallordner", "/usr/bin/quorlits", "", Alle,
                              "/usr/bin/PHRX.CFG"},
                    TPfadFall{"InstalliertOhneBenutzerordner", "/usr/bin/quorlits", "/usr/bin",
                              Keine, "/usr/bin/PHRX.CFG"}));

INSTANTIATE_TEST_SUITE_P(
    Installiert, Pfadwahl,
    testing::Values(
        TPfadFall{"XdgConfigHome", "/usr/bin/quorlits", "/usr/bin", Alle, "/xdg/quorlits/PHRX.CFG"},
        TPfadFall{"HomeOhneXdg", "/usr/bin/quorlits", "/usr/bin", OhneXdg,
                  "/home/ute/.config/quorlits/PHRX.CFG"},
        TPfadFall{"RelativesXdgZaehltNicht", "/usr/bin/quorlits", "/usr/bin",
                  TUmgebung{"rel/cfg", "/home/ute", ""}, "/home/ute/.config/quorlits/PHRX.CFG"},
        TPfadFall{"PasswortdateiOhneHome", "/usr/bin/quorlits", "/usr/bin", NurPasswort,
                  "/home/pw/.config/quorlits/PHRX.CFG"},
        TPfadFall{"RelativesHomeZaehltNicht", "/usr/bin/quorlits", "/usr/bin",
                  TUmgebung{"", "ute", "/home/pw"}, "/home/pw/.config/quorlits/PHRX.CFG"},
        TPfadFall{"InstallordnerMitSchraegstrich", "/usr/bin/quorlits", "/usr/bin/", OhneXdg,
                  "/home/ute/.config/quorlits/PHRX.CFG"},
        TPfadFall{"UmwegImProgrammpfad", "/usr/./lib/../bin/quorlits", "/usr/bin", OhneXdg,
                  "/home/ute/.config/quorlits/PHRX.CFG"},
        TPfadFall{"AndererInstallordner", "/usr/local/bin/quorlits", "/usr/local/bin", Alle,
                  "/xdg/quorlits/PHRX.CFG"},
        TPfadFall{"ProgrammUnbekannt", "", "/usr/bin", OhneXdg,
                  "/home/ute/.config/quorlits/PHRX.CFG"},
        TPfadFall{"ProgrammUndBenutzerUnbekannt", "", "/usr/bin", Keine, "PHRX.CFG"}));

// Sets or removes an environment variable for the life of the object.
class TVariable {
public:
    TVariable(const char* name, const char* wert)
        : name_(name) {
        if (const char* alt = std::getenv(name)) {
            alt_ = alt;
        }
        if (wert) {
            ::setenv(name, wert, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~TVariable() {
        if (alt_) {
            ::setenv(name_, alt_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    TVariable(const TVariable&) = delete;
    TVariable& operator=(const TVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> alt_;
};

TEST(ProzessUmgebung, LiestDieVariablen) {
    TVariable xdg("XDG_CONFIG_HOME", "/tmp/xdg-test");
    TVariable home("HOME", "/tmp/home-test");
    const TUmgebung umgebung = ProzessUmgebung();
    EXPECT_EQ(umgebung.XdgConfigHome, "/tmp/xdg-test");
    EXPECT_EQ(umgebung.Home, "/tmp/home-test");
}

TEST(ProzessUmgebung, OhneHomeGiltDiePasswortdatei) {
    TVariable xdg("XDG_CONFIG_HOME", nullptr);
    TVariable home("HOME", nullptr);
    const TUmgebung umgebung = ProzessUmgebung();
    EXPECT_EQ(umgebung.XdgConfigHome, "");
    EXPECT_EQ(umgebung.Home, "");
    EXPECT_TRUE(fs::path(umgebung.PasswortHome).is_absolute()) << umgebung.PasswortHome;
}

// The test program is not installed, so its file lies beside it.
TEST(KonfigurationsPfad, TestprogrammNutztSeinenOrdner) {
    const fs::path programm = ProgrammPfad();
    EXPECT_EQ(programm.filename(), "app_test");
    EXPECT_TRUE(programm.is_absolute());
    EXPECT_EQ(KonfigurationsPfad(), programm.parent_path() / "PHRX.CFG");
}

} // namespace
