// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "framework/Aufruf.h"

#include <QCommandLineParser>

#include <gtest/gtest.h>

namespace {

using TArt = TAufrufFehler::TArt;

struct TAufrufFall {
    const char* Name;
    std::vector<std::string> Argumente;
    TArt Art;
    std::string Argument; // as the message names it
};

class AufrufTest : public ::testing::TestWithParam<TAufrufFall> {};

// A message names the argument the user wrote, and tells a missing value from a wrong option,
// though Qt reports only bare names and English texts.
TEST_P(AufrufTest, NenntDasArgument) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("schalter")));
    parser.addOption(QCommandLineOption(QStringLiteral("wert"), {}, QStringLiteral("W")));
    const TAufrufFehler fehler = AufrufLesen(parser, GetParam().Argumente);
    EXPECT_EQ(fehler.Art, GetParam().Art);
    EXPECT_EQ(fehler.Argument, GetParam().Argument);
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, AufrufTest,
    ::testing::Values(
        TAufrufFall{"Richtig", {"--wert", "-1", "--schalter", "--wert=b"}, TArt::Keiner, ""},
        TAufrufFall{"Unbekannt", {"--wert", "a", "--fremd"}, TArt::Unbekannt, "--fremd"},
        TAufrufFall{"UnbekanntMitWert", {"--leise=1"}, TArt::Unbekannt, "--leise=1"},
        TAufrufFall{"KeineOption", {"--schalter", "datei"}, TArt::Unbekannt, "datei"},
        TAufrufFall{"Doppelstrich", {"--schalter", "--"}, TArt::Unbekannt, "--"},
        TAufrufFall{"WertFehlt", {"--schalter", "--wert"}, TArt::OhneWert, "--wert"},
        TAufrufFall{"WertFehltNachGleich", {"--wert=a", "--wert"}, TArt::OhneWert, "--wert"},
        TAufrufFall{
            "SchalterMitWert", {"--schalter=ja", "--wert", "a"}, TArt::Unbekannt, "--schalter=ja"}),
    [](const auto& fall) { return std::string(fall.param.Name); });

TEST(Aufruf, WerteInDerReihenfolge) {
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("wert"), {}, QStringLiteral("W")));
    ASSERT_EQ(AufrufLesen(parser, {"-wert", "a", "--wert=b"}).Art, TArt::Keiner);
    EXPECT_EQ(parser.values(QStringLiteral("wert")), QStringList({"a", "b"}));
}

} // namespace
