// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// An outbox segment from anywhere: after a crash, a full disk or a bad sector the program opens
// whatever lies in its outbox folder. Whatever the segment holds, opening it ends (normally or
// with an error), every record it hands out can be acknowledged, and then nothing waits.
//
// Input layout: byte 0 odd: the rest follows a segment's header line, so the fuzzer reaches
// the records at once. Byte 0 even: the rest is the segment file as it stands.
#include "publish/Ausgang.h"
#include "publish/AusgangOrdner.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// Opening syncs files and folders; on a memory file system that costs nothing, which keeps
// the fuzzer fast. /tmp serves where there is none.
const std::filesystem::path& Ordner() {
    static const std::filesystem::path pfad = [] {
        std::error_code fehler;
        const std::filesystem::path basis =
            std::filesystem::is_directory("/dev/shm", fehler) ? "/dev/shm" : "/tmp";
        return basis / ("quorlits-ausgang-fuzz-" + std::to_string(::getpid()));
    }();
    return pfad;
}

void Aufraeumen() {
    std::error_code fehler;
    std::filesystem::remove_all(Ordner(), fehler);
}

void Schreiben(const std::filesystem::path& pfad, const std::string& inhalt) {
    std::FILE* datei = std::fopen(pfad.c_str(), "wb");
    if (datei == nullptr || std::fwrite(inhalt.data(), 1, inhalt.size(), datei) != inhalt.size() ||
        std::fclose(datei) != 0) {
        std::abort();
    }
}

// Hands out and acknowledges everything; traps when anything still waits afterwards.
void AllesQuittieren(TAusgang& ausgang) {
    for (std::vector<TAusgangsSatz> saetze = ausgang.Naechste(1000); !saetze.empty();
         saetze = ausgang.Naechste(1000)) {
        for (const TAusgangsSatz& satz : saetze) {
            ausgang.QuittungNehmen(satz.Messung, satz.Seq);
        }
    }
    if (ausgang.Wartend() != 0 || ausgang.Unterwegs() != 0) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    if (groesse == 0) {
        return 0;
    }
    static const bool aufraeumenVorgemerkt = std::atexit(Aufraeumen) == 0;
    (void)aufraeumenVorgemerkt;
    Aufraeumen();
    std::filesystem::create_directories(Ordner());
    std::string inhalt(daten[0] % 2 == 1 ? AusgangMagie : "");
    inhalt.append(reinterpret_cast<const char*>(daten + 1), groesse - 1);
    Schreiben(SegmentPfad(Ordner(), 1), inhalt);
    try {
        TAusgang ausgang(Ordner(), 1024 * 1024);
        AllesQuittieren(ausgang);
        ausgang.Ablegen(TAusgangsSatz{TAusgangsArt::Nachricht, "neu", 1, "t", "{}"});
        AllesQuittieren(ausgang);
    } catch (const std::exception&) {
        // A segment that cannot be read is refused with a message; that is fine.
    }
    return 0;
}
