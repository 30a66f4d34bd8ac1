// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The logger's input while it runs: lines however they arrive, their end, and what a line says.
#include "Warten.h"

#include "headless/Eingabe.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct TZeilenFall {
    const char* Zeile;
    std::optional<TAngabe> Angabe;
    const char* Wert;
};

class AngabeZeile : public testing::TestWithParam<TZeilenFall> {};

TEST_P(AngabeZeile, NenntFeldUndWert) {
    const auto gelesen = AngabeZeileLesen(GetParam().Zeile);
    ASSERT_EQ(gelesen.has_value(), GetParam().Angabe.has_value());
    if (gelesen) {
        EXPECT_EQ(gelesen->first, *GetParam().Angabe);
        EXPECT_EQ(gelesen->second, GetParam().Wert);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zeilen, AngabeZeile,
    testing::Values(TZeilenFall{"Probe: P-17", TAngabe::Probe, "P-17"},
                    TZeilenFall{"probe:P-17 \t", TAngabe::Probe, "P-17"},
                    TZeilenFall{"  BEDIENER :  Jörg Maier", TAngabe::Bediener, "Jörg Maier"},
                    TZeilenFall{"Elektrode:", TAngabe::Elektrode, ""},
                    TZeilenFall{"Probe: 12:30 Zulauf", TAngabe::Probe, "12:30 Zulauf"},
                    TZeilenFall{"Probe P-17", std::nullopt, ""},
                    TZeilenFall{"Proben: P-17", std::nullopt, ""},
                    TZeilenFall{"Grund: neue Charge", std::nullopt, ""}));

// Lines cut anywhere by the pipe come whole, CR LF or LF, a long one cut at the limit, the last
// one without its line end too; the end of the input ends the reading once, not the program.
TEST(EingabeZeilen, LiestZeilenBisZumEndeDerEingabe) {
    int rohr[2];
    ASSERT_EQ(::pipe2(rohr, O_CLOEXEC), 0);
    std::vector<std::string> zeilen;
    std::vector<int> enden;
    TEingabeZeilen eingabe(rohr[0], [&](const std::string& zeile) { zeilen.push_back(zeile); });
    QObject::connect(&eingabe, &TEingabeZeilen::Ende, [&](int fehler) { enden.push_back(fehler); });
    ASSERT_TRUE(eingabe.Liest());
    const auto schreiben = [&](const std::string& text) {
        ASSERT_EQ(::write(rohr[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    };
    schreiben("Probe: A\r\nBedie");
    ASSERT_TRUE(WartenBis([&] { return zeilen.size() == 1; }));
    schreiben("ner: B\n" + std::string(TEingabeZeilen::LaengsteZeile + 10, 'x') + "\nohne Ende");
    ::close(rohr[1]);
    ASSERT_TRUE(WartenBis([&] { return !enden.empty(); }));
    EXPECT_EQ(zeilen, (std::vector<std::string>{"Probe: A", "Bediener: B",
                                                std::string(TEingabeZeilen::LaengsteZeile, 'x'),
                                                "ohne Ende"}));
    EXPECT_EQ(enden, std::vector<int>{0});
    EXPECT_FALSE(eingabe.Liest());
    ::close(rohr[0]);
}

// A service's /dev/null ends at once; a closed input is never read.
TEST(EingabeZeilen, DevNullUndKeineEingabe) {
    const int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(null, 0);
    int zeilen = 0;
    bool ende = false;
    TEingabeZeilen eingabe(null, [&](const std::string&) { ++zeilen; });
    QObject::connect(&eingabe, &TEingabeZeilen::Ende, [&](int) { ende = true; });
    ASSERT_TRUE(WartenBis([&] { return ende; }));
    EXPECT_EQ(zeilen, 0);
    EXPECT_FALSE(eingabe.Liest());
    ::close(null);
    EXPECT_FALSE(TEingabeZeilen(null, [](const std::string&) {}).Liest());
}

} // namespace
