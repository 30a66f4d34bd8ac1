// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "chart/Zeitachse.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// The axis is labelled in local time; these cases are written for Berlin.
class Zeitachse : public testing::Test {
protected:
    Zeitachse() {
        const char* tz = std::getenv("TZ");
        alt_ = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    ~Zeitachse() override {
        if (alt_) {
            setenv("TZ", alt_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> alt_;
};

constexpr double Zehn = 1796634000000.0; // 07.12.2026 10:00:00 CET
constexpr double Sek = 1000.0;

std::vector<std::string> Texte(double von, double bis, int hoechstens) {
    std::vector<std::string> texte;
    for (const TZeitStrich& s : ZeitStriche(von, bis, hoechstens)) {
        texte.push_back(s.Text);
    }
    return texte;
}

struct TFall {
    double Von;
    double Bis;
    int Hoechstens;
    std::vector<std::string> Erwartet;
};

TEST_F(Zeitachse, StepsFromSecondsToDaysInGermanFormats) {
    const std::vector<TFall> faelle{
        {Zehn + 500, Zehn + 4 * Sek, 10, {"10:00:01", "10:00:02", "10:00:03", "10:00:04"}},
        {Zehn, Zehn + 60 * Sek, 4, {"10:00:00", "10:00:15", "10:00:30", "10:00:45", "10:01:00"}},
        {Zehn, Zehn + 3600 * Sek, 4, {"10:00", "10:15", "10:30", "10:45", "11:00"}},
        // Midnight shows the date; weeks begin on Mondays.
        {Zehn + 12 * 3600 * Sek,
         Zehn + 15 * 3600 * Sek,
         3,
         {"22:00", "23:00", "08.12.2026", "01:00"}},
        {Zehn, Zehn + 3 * 86400 * Sek, 4, {"08.12.", "09.12.", "10.12."}},
        {Zehn, Zehn + 30 * 86400 * Sek, 5, {"14.12.", "21.12.", "28.12.", "04.01."}},
    };
    for (const TFall& fall : faelle) {
        EXPECT_EQ(Texte(fall.Von, fall.Bis, fall.Hoechstens), fall.Erwartet) << fall.Von;
    }
    EXPECT_TRUE(ZeitStriche(Zehn, Zehn, 5).empty());
}

// In the autumn night the local hour 2:00 to 3:00 comes twice: the ticks follow UTC and the
// labels say what the clock said.
TEST_F(Zeitachse, TheRepeatedAutumnHourIsLabelledTwice) {
    const double umstellung = 1792890000000.0; // 25.10.2026 01:00 UTC = 03:00 CEST -> 02:00 CET
    const auto striche = ZeitStriche(umstellung - 3600 * Sek, umstellung + 3600 * Sek, 2);
    std::vector<std::string> texte;
    for (const auto& s : striche) {
        texte.push_back(s.Text);
    }
    EXPECT_EQ(texte, (std::vector<std::string>{"02:00", "02:00", "03:00"}));
}

TEST(Wertachse, NiceStepsWithADecimalComma) {
    const auto texte = [](double von, double bis, int n) {
        std::vector<std::string> t;
        for (const auto& s : WertStriche(von, bis, n)) {
            t.push_back(s.Text);
        }
        return t;
    };
    EXPECT_EQ(texte(6.93, 7.42, 5), (std::vector<std::string>{"7,0", "7,1", "7,2", "7,3", "7,4"}));
    EXPECT_EQ(texte(-120, 480, 3), (std::vector<std::string>{"0", "200", "400"}));
    EXPECT_EQ(texte(-0.004, 0.004, 4),
              (std::vector<std::string>{"-0,004", "-0,002", "0,000", "0,002", "0,004"}));
    EXPECT_TRUE(WertStriche(1, 1, 5).empty());
}

} // namespace
