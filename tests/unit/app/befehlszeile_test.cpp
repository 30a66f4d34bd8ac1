// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Befehlszeile.h"
#include "serial/ComTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TFall {
    std::vector<std::string> Argumente;
    std::string Port;
    bool Hilfe;
    bool Fehler;
};

class BefehlszeileTest : public testing::TestWithParam<TFall> {};

TEST_P(BefehlszeileTest, LiestPortUndHilfe) {
    const TFall& fall = GetParam();
    const TBefehlszeile ergebnis = BefehlszeileLesen(fall.Argumente);
    EXPECT_EQ(ergebnis.Port, fall.Port);
    EXPECT_EQ(ergebnis.Hilfe, fall.Hilfe);
    EXPECT_EQ(!ergebnis.Fehler.empty(), fall.Fehler) << ergebnis.Fehler;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BefehlszeileTest,
    testing::Values(TFall{{}, "", false, false},
                    TFall{{"--port", "/dev/pts/3"}, "/dev/pts/3", false, false},
                    TFall{{"--port=ttyUSB0"}, "ttyUSB0", false, false},
                    TFall{{"--help"}, "", true, false}, TFall{{"-h"}, "", true, false},
                    // The device must follow the switch; a missing one is no empty device.
                    TFall{{"--port"}, "", false, true}, TFall{{"--port="}, "", false, true},
                    TFall{{"--port", ""}, "", false, true}, TFall{{"/dev/ttyS0"}, "", false, true},
                    TFall{{"--bogus"}, "", false, true}));

// The options of the window-free modes, both spellings of a value, and the fields they set.
TEST(Befehlszeile, LiestDieSchalterOhneFenster) {
    const TBefehlszeile ohne =
        BefehlszeileLesen({"--headless", "--port=/dev/ttyUSB0", "--data-file", "d.txt", "--append",
                           "--capture=d.roh", "--baud", "9600", "--flow=xon", "--quiet", "--wait"});
    EXPECT_EQ(ohne.Fehler, "");
    EXPECT_TRUE(ohne.OhneFenster && ohne.Anhaengen && ohne.Leise && ohne.Warten);
    EXPECT_EQ(ohne.Port, "/dev/ttyUSB0");
    EXPECT_EQ(ohne.Datendatei, "d.txt");
    EXPECT_EQ(ohne.Aufzeichnung, "d.roh");
    EXPECT_EQ(ohne.Baud, 9600U);
    EXPECT_EQ(ohne.Fluss, "xon");

    const TBefehlszeile veroeffentlichen = BefehlszeileLesen(
        {"--headless", "--port=p", "--data-file=d", "--publish", "mqtts://broker:8883",
         "--bench=Labor 3", "--publish-password-file", "/etc/q/pw", "--publish-ca=/etc/q/ca.pem"});
    EXPECT_EQ(veroeffentlichen.Fehler, "");
    EXPECT_EQ(veroeffentlichen.Veroeffentlichen, "mqtts://broker:8883");
    EXPECT_EQ(veroeffentlichen.Arbeitsplatz, "Labor 3");
    EXPECT_EQ(veroeffentlichen.VeroeffentlichenPasswort, "/etc/q/pw");
    EXPECT_EQ(veroeffentlichen.VeroeffentlichenCa, "/etc/q/ca.pem");

    const TBefehlszeile angaben =
        BefehlszeileLesen({"--headless", "--port=p", "--data-file=d", "--sample", "P-17 Ablauf",
                           "--operator=Jörg Maier", "--electrode", "SenTix 41 #B123"});
    EXPECT_EQ(angaben.Fehler, "");
    EXPECT_EQ(angaben.Probe, "P-17 Ablauf");
    EXPECT_EQ(angaben.Bediener, "Jörg Maier");
    EXPECT_EQ(angaben.Elektrode, "SenTix 41 #B123");

    const TBefehlszeile abspielen =
        BefehlszeileLesen({"--replay=a.roh", "--data-file=d.txt", "--append"});
    EXPECT_EQ(abspielen.Fehler, "");
    EXPECT_EQ(abspielen.Abspielen, "a.roh");
    EXPECT_TRUE(abspielen.Anhaengen);
    EXPECT_FALSE(abspielen.OhneFenster || abspielen.Warten);

    const TBefehlszeile fenster = BefehlszeileLesen({"--capture", "m.roh", "--port", "ttyS0"});
    EXPECT_EQ(fenster.Fehler, "");
    EXPECT_EQ(fenster.Aufzeichnung, "m.roh");
}

struct TFehlerFall {
    std::vector<std::string> Argumente;
    std::string Grund; // a part of the German message
};

class BefehlszeileFehlerTest : public testing::TestWithParam<TFehlerFall> {};

TEST_P(BefehlszeileFehlerTest, NenntDenGrund) {
    const TBefehlszeile ergebnis = BefehlszeileLesen(GetParam().Argumente);
    EXPECT_NE(ergebnis.Fehler.find(GetParam().Grund), std::string::npos) << ergebnis.Fehler;
}

const std::vector<std::string> Ohne = {"--headless", "--port", "p", "--data-file", "d"};

std::vector<std::string> Mit(std::vector<std::string> argumente, const std::string& dazu) {
    argumente.push_back(dazu);
    return argumente;
}

INSTANTIATE_TEST_SUITE_P(
    Faelle, BefehlszeileFehlerTest,
    testing::Values(
        TFehlerFall{{"--headless", "--data-file", "d"}, "braucht --port"},
        TFehlerFall{{"--headless", "--port", "p"}, "--headless braucht --data-file"},
        TFehlerFall{{"--replay", "a.roh"}, "--replay braucht --data-file"},
        TFehlerFall{Mit(Ohne, "--replay=a.roh"), "schließen einander aus"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--port=p"}, "keine Schnittstelle"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--capture=c"}, "keine Schnittstelle"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--baud=9600"}, "keine Schnittstelle"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--flow=rts"}, "keine Schnittstelle"},
        TFehlerFall{{"--data-file", "d"}, "nur mit --headless oder --replay"},
        TFehlerFall{{"--append"}, "nur mit --headless oder --replay"},
        TFehlerFall{{"--quiet"}, "nur mit --headless"},
        TFehlerFall{{"--port=p", "--baud=4800"}, "nur mit --headless"},
        TFehlerFall{{"--flow=none"}, "nur mit --headless"},
        TFehlerFall{Mit(Ohne, "--baud=0"), "positive ganze Zahl"},
        TFehlerFall{Mit(Ohne, "--baud=-1"), "positive ganze Zahl"},
        TFehlerFall{Mit(Ohne, "--baud=96O0"), "positive ganze Zahl"},
        TFehlerFall{Mit(Ohne, "--baud=99999999999"), "positive ganze Zahl"},
        TFehlerFall{Mit(Ohne, "--flow=hardware"), "none, rts und xon"},
        TFehlerFall{Mit(Ohne, "--baud"), "Nach --baud fehlt"},
        TFehlerFall{Mit(Ohne, "--data-file="), "Nach --data-file= fehlt"},
        TFehlerFall{Mit(Ohne, "--quiet=1"), "Unbekanntes Argument: --quiet=1"},
        TFehlerFall{Mit(Ohne, "--baud=9601"), "--baud kennt die Raten 110, 300"},
        TFehlerFall{Mit(Ohne, "--baud=1000000"), "256000, nicht 1000000"},
        TFehlerFall{{"--port=p", "--wait"}, "nur mit --headless"},
        TFehlerFall{{"--verify=d.txt", "--data-file=e.txt"}, "--verify prüft nur"},
        TFehlerFall{{"--publish=mqtt://b"}, "--publish-ca gelten nur mit --headless"},
        TFehlerFall{{"--bench=b"}, "--publish-ca gelten nur mit --headless"},
        TFehlerFall{Mit(Ohne, "--publish=http://b"), "--publish braucht mqtt://"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--wait"}, "keine Schnittstelle"},
        // A forgotten value is not taken from the next option, in either spelling.
        TFehlerFall{{"--headless", "--port=p", "--data-file", "--append"},
                    "Nach --data-file fehlt die Datendatei; „--append“ ist eine Option"},
        TFehlerFall{{"--port", "--help"}, "„--help“ ist eine Option"},
        TFehlerFall{{"--capture=--quiet"}, "Nach --capture=--quiet fehlt"},
        // Each option once, whatever the spelling.
        TFehlerFall{{"--port", "a", "--port=b"}, "--port ist mehrfach angegeben"},
        TFehlerFall{Mit(Ohne, "--data-file=e"), "--data-file ist mehrfach"},
        TFehlerFall{Mit(Mit(Ohne, "--append"), "--append"), "--append ist mehrfach"},
        TFehlerFall{Mit(Mit(Ohne, "--wait"), "--wait"), "--wait ist mehrfach"},
        TFehlerFall{{"-h", "--help"}, "--help ist mehrfach"},
        TFehlerFall{Mit(Mit(Ohne, "--sample=a"), "--sample=b"), "--sample ist mehrfach"},
        TFehlerFall{{"--electrode=E1"}, "--electrode gelten nur mit --headless"},
        TFehlerFall{{"--replay=a", "--data-file=d", "--operator=o"},
                    "--electrode gelten nur mit --headless"}));

// Whether `text` holds `zahl` as a number of its own (not as a part of a longer one).
bool NenntZahl(const std::string& text, const std::string& zahl) {
    for (auto stelle = text.find(zahl); stelle != std::string::npos;
         stelle = text.find(zahl, stelle + 1)) {
        const auto ende = stelle + zahl.size();
        if (stelle > 0 && text[stelle - 1] == ' ' && ende < text.size() &&
            (text[ende] < '0' || text[ende] > '9')) {
            return true;
        }
    }
    return false;
}

// Every rate of the serial setup's list is taken by --baud and named in the help.
TEST(Befehlszeile, NimmtJedeRateDerSchnittstelleneinstellung) {
    const std::string hilfe = HilfeText();
    for (int rate = br110; rate < BaudRateCount; ++rate) {
        const std::string zahl = BaudRateToText(static_cast<TBaudRate>(rate));
        const TBefehlszeile ergebnis = BefehlszeileLesen(Mit(Ohne, "--baud=" + zahl));
        EXPECT_EQ(ergebnis.Fehler, "") << zahl;
        EXPECT_EQ(ergebnis.Baud, BaudRateToNumber(static_cast<TBaudRate>(rate)));
        EXPECT_TRUE(NenntZahl(hilfe, zahl)) << zahl;
    }
}

TEST(HilfeText, NenntAufrufUndSchalter) {
    const std::string text = HilfeText();
    EXPECT_EQ(text.rfind("Aufruf: quorlits [--port GERÄT]", 0), 0U);
    for (const char* schalter :
         {"--help", "--headless", "--replay", "--data-file", "--append", "--capture", "--baud",
          "--flow", "--quiet", "--wait", "--verify", "--sample", "--operator", "--electrode",
          "Probe: TEXT", "SIGHUP"}) {
        EXPECT_NE(text.find(schalter), std::string::npos) << schalter;
    }
    for (const char* rueckgabe :
         {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  das Abspielen", "\n  4  --verify"}) {
        EXPECT_NE(text.find(rueckgabe), std::string::npos) << rueckgabe;
    }
}

} // namespace
