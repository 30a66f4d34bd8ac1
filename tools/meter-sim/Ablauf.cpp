// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Ablauf.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace {

using Uhr = std::chrono::steady_clock;
using std::chrono::milliseconds;

// After the last record of --count the master stays open until the reader has closed the
// line: closing it discards what the reader has not taken yet, and how much that is cannot be
// seen from this side (see StilleVorDemTrennen). A reader that keeps the line open is not
// waited for longer than this.
constexpr milliseconds NachlaufHoechstens{30'000};

// With no reader on the slave side the master reports a hang-up at once; it is then looked at
// again after this pause instead of in a tight loop.
constexpr milliseconds OhneLeserPause{200};

// Before it is unplugged the line stays this long without a byte sent: closing the master
// discards what the reader has not taken yet, so the reader gets this long to take the last
// record. The sending side of a pseudo-terminal cannot see what the reader has taken (the
// master's output queue reads 0, the slave's FIONREAD lags behind), so this is a time: one second
// covers a reader held up by a machine busy with other work, where 200 ms lost records in the
// tests now and then.
constexpr milliseconds StilleVorDemTrennen{1000};

struct TZustand {
    std::string Ausgabe;
    std::string Beschreibung;
    long Gesendet = 0;
    Uhr::time_point NaechsterDatensatz;
    Uhr::time_point NaechstesByte;
    Uhr::time_point Ende = Uhr::time_point::max();
    Uhr::time_point LetztesSenden = Uhr::time_point::min();
    Uhr::time_point TrennenAb = Uhr::time_point::max(); // an unplug is due from then on
    Uhr::time_point SteckenAb = Uhr::time_point::max(); // while unplugged: when to plug in
    bool OhneLeser = false;
};

// After a stall (the reader lagging, the machine busy) the line goes on at its rate from now
// instead of catching up with a burst longer than this.
constexpr milliseconds Aufholgrenze{20};

void Protokollieren(const std::string& text) {
    std::fprintf(stderr, "meter-sim: %s\n", text.c_str());
    std::fflush(stderr);
}

void EingangLesen(int master) {
    std::array<char, 256> puffer{};
    for (;;) {
        const ssize_t gelesen = read(master, puffer.data(), puffer.size());
        if (gelesen <= 0) {
            return;
        }
        Protokollieren("empfangen \"" +
                       Lesbar(std::string(puffer.data(), static_cast<std::size_t>(gelesen))) +
                       "\"");
    }
}

// One start bit, eight data bits, one stop bit.
std::chrono::nanoseconds ByteZeit(long baud) {
    return std::chrono::nanoseconds(10'000'000'000LL / std::max(baud, 1L));
}

// Where the line's clock stands: when the next byte fell due, but no further back than the
// catch-up limit.
Uhr::time_point Taktstand(const TZustand& zustand, Uhr::time_point jetzt) {
    return std::max(zustand.NaechstesByte, jetzt - Aufholgrenze);
}

// The bytes the line has had time for since the next byte fell due: at least one.
std::size_t FaelligeBytes(const TZustand& zustand, const TOptionen& optionen,
                          Uhr::time_point jetzt) {
    if (optionen.Baud == 0) {
        return zustand.Ausgabe.size();
    }
    const auto faellig =
        static_cast<std::size_t>((jetzt - Taktstand(zustand, jetzt)) / ByteZeit(optionen.Baud)) + 1;
    return std::min(faellig, zustand.Ausgabe.size());
}

// A line of the record log on stdout.
void Melden(const std::string& zeile) {
    std::printf("%s\n", zeile.c_str());
    std::fflush(stdout);
}

void DatensatzMelden(TZustand& zustand, const TOptionen& optionen) {
    if (optionen.DatensaetzeZeigen) {
        Melden(zustand.Beschreibung);
    }
}

// Writes what is due: the whole record in bursts, else as many bytes as the line's rate allows
// since the last write, so the average rate is the baud rate even when a wake-up comes late.
void Schreiben(int master, TZustand& zustand, const TOptionen& optionen, Uhr::time_point jetzt) {
    const ssize_t geschrieben =
        write(master, zustand.Ausgabe.data(), FaelligeBytes(zustand, optionen, jetzt));
    if (geschrieben > 0) {
        zustand.LetztesSenden = Uhr::now();
        zustand.Ausgabe.erase(0, static_cast<std::size_t>(geschrieben));
        if (optionen.Baud != 0) {
            zustand.NaechstesByte =
                Taktstand(zustand, jetzt) + geschrieben * ByteZeit(optionen.Baud);
        }
        if (zustand.Ausgabe.empty()) {
            DatensatzMelden(zustand, optionen);
        }
    } else if (errno == EAGAIN || errno == EIO) {
        // Nobody has read for a long time and the line's queue is full: like a real line, the
        // rest of the record is lost.
        Protokollieren("Warteschlange voll, Datensatz verworfen");
        zustand.Ausgabe.clear();
    }
}

void NaechstenDatensatzHolen(const TQuelle& quelle, TZustand& zustand, const TOptionen& optionen,
                             Uhr::time_point jetzt) {
    TDatensatz datensatz = quelle();
    zustand.Ausgabe = std::move(datensatz.Bytes);
    zustand.Beschreibung = std::move(datensatz.Beschreibung);
    ++zustand.Gesendet;
    // The first byte is due at the record's planned time, or when the record before has left
    // the line; a late wake-up sends what is overdue at once.
    zustand.NaechstesByte = std::max(zustand.NaechstesByte, zustand.NaechsterDatensatz);
    // A record that takes longer than the interval to send delays the next one.
    const std::chrono::nanoseconds abstand =
        datensatz.Abstand.value_or(milliseconds(optionen.IntervallMs));
    zustand.NaechsterDatensatz = std::max(zustand.NaechsterDatensatz + abstand, jetzt);
}

// The first record is due one interval from `jetzt`, the unplug (with --unplug) after its delay.
void Planen(TZustand& zustand, const TOptionen& optionen, Uhr::time_point jetzt) {
    zustand.NaechsterDatensatz = jetzt + milliseconds(optionen.IntervallMs);
    if (optionen.TrennenNachMs > 0) {
        zustand.TrennenAb = jetzt + milliseconds(optionen.TrennenNachMs);
    }
}

// Unplugs the line once it has been silent long enough; returns when to look again.
Uhr::time_point Ziehen(TZustand& zustand, const TOptionen& optionen, TAnschluss& anschluss,
                       Uhr::time_point jetzt) {
    const Uhr::time_point stillBis = zustand.LetztesSenden + StilleVorDemTrennen;
    if (jetzt < stillBis) {
        return stillBis;
    }
    anschluss.Ziehen();
    Melden("GETRENNT");
    zustand.SteckenAb = jetzt + milliseconds(optionen.TrennenWegMs);
    return zustand.SteckenAb;
}

// Plugs a new line in; its schedule starts afresh, so nothing falls due while unplugged.
void Stecken(TZustand& zustand, const TOptionen& optionen, TAnschluss& anschluss) {
    anschluss.Stecken();
    Melden("VERBUNDEN " + anschluss.Geraet());
    zustand.OhneLeser = false;
    Planen(zustand, optionen, Uhr::now());
}

// Does whatever is due now and returns the time of the next due step.
Uhr::time_point Schritt(const TQuelle& quelle, TZustand& zustand, const TOptionen& optionen,
                        TAnschluss& anschluss) {
    const Uhr::time_point jetzt = Uhr::now();
    if (!anschluss.Gesteckt()) {
        if (jetzt < zustand.SteckenAb) {
            return zustand.SteckenAb;
        }
        Stecken(zustand, optionen, anschluss);
    }
    const bool fertig = optionen.Anzahl > 0 && zustand.Gesendet >= optionen.Anzahl;
    // Once an unplug is due no record starts: the one on its way is finished, then the line
    // falls silent until it is unplugged.
    const bool halten = !fertig && jetzt >= zustand.TrennenAb;
    if (zustand.Ausgabe.empty() && !fertig && !halten && jetzt >= zustand.NaechsterDatensatz) {
        NaechstenDatensatzHolen(quelle, zustand, optionen, jetzt);
    }
    if (!zustand.Ausgabe.empty() && jetzt >= zustand.NaechstesByte) {
        Schreiben(anschluss.Master(), zustand, optionen, jetzt);
    }
    if (zustand.Ausgabe.empty() && fertig && zustand.Ende == Uhr::time_point::max()) {
        zustand.Ende = jetzt + NachlaufHoechstens;
    }
    if (!zustand.Ausgabe.empty()) {
        return zustand.NaechstesByte;
    }
    if (halten) {
        return Ziehen(zustand, optionen, anschluss, jetzt);
    }
    return fertig ? zustand.Ende : std::min(zustand.NaechsterDatensatz, zustand.TrennenAb);
}

// The last record of --count has been sent.
bool Fertig(const TZustand& zustand) {
    return zustand.Ende != Uhr::time_point::max();
}

int Wartezeit(Uhr::time_point bis, bool ohneLeser) {
    const auto rest = std::chrono::ceil<milliseconds>(bis - Uhr::now());
    auto wartezeit = std::clamp(rest, milliseconds(0), milliseconds(60'000));
    if (ohneLeser) {
        wartezeit = std::min(wartezeit, OhneLeserPause);
    }
    return static_cast<int>(wartezeit.count());
}

} // namespace

std::string Lesbar(const std::string& bytes) {
    std::string text;
    for (const char zeichen : bytes) {
        const auto byte = static_cast<unsigned char>(zeichen);
        if (byte >= 0x20 && byte < 0x7F) {
            text.push_back(zeichen);
        } else if (byte == '\r' || byte == '\n' || byte == 0x11 || byte == 0x13) {
            text += byte == '\r'   ? "<CR>"
                    : byte == '\n' ? "<LF>"
                    : byte == 0x11 ? "<DC1>"
                                   : "<DC3>";
        } else {
            std::array<char, 8> hex{};
            std::snprintf(hex.data(), hex.size(), "<%02X>", byte);
            text += hex.data();
        }
    }
    return text;
}

void Ablaufen(const TOptionen& optionen, const TQuelle& quelle, TAnschluss& anschluss, int stopFd) {
    TZustand zustand;
    Planen(zustand, optionen, Uhr::now());
    for (;;) {
        const Uhr::time_point faellig = Schritt(quelle, zustand, optionen, anschluss);
        const int master = anschluss.Master();
        if (Uhr::now() >= zustand.Ende) {
            EingangLesen(master);
            return;
        }
        std::array<pollfd, 2> fds{{{stopFd, POLLIN, 0}, {master, POLLIN, 0}}};
        // While unplugged only a signal is waited for.
        const nfds_t anzahl = zustand.OhneLeser || master < 0 ? 1 : 2;
        const int wartezeit = Wartezeit(faellig, zustand.OhneLeser);
        if (poll(fds.data(), anzahl, wartezeit) < 0 && errno != EINTR) {
            Protokollieren("poll fehlgeschlagen");
            return;
        }
        if (fds[0].revents != 0) {
            EingangLesen(master);
            return;
        }
        zustand.OhneLeser = anzahl == 2 && (fds[1].revents & POLLHUP) != 0;
        if ((fds[1].revents & POLLIN) != 0 || (zustand.OhneLeser && Fertig(zustand))) {
            EingangLesen(master);
        }
        if (zustand.OhneLeser && Fertig(zustand)) {
            return; // the reader has closed the line after the last record
        }
    }
}
