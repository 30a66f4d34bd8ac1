// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "TestOrdner.h"

#include <fstream>
#include <grp.h>
#include <iterator>
#include <set>
#include <stdexcept>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr uid_t Testnutzer = 65534; // nobody
}

TTestOrdner::TTestOrdner() {
    std::string muster = (fs::temp_directory_path() / "quorlits_test_XXXXXX").string();
    if (::mkdtemp(muster.data()) == nullptr) {
        throw std::runtime_error("mkdtemp fehlgeschlagen");
    }
    pfad_ = muster;
}

TTestOrdner::~TTestOrdner() {
    std::error_code fehler;
    for (const auto& eintrag : fs::recursive_directory_iterator(pfad_, fehler)) {
        if (eintrag.is_directory(fehler) && !eintrag.is_symlink(fehler)) {
            fs::permissions(eintrag.path(), fs::perms::owner_all, fs::perm_options::add, fehler);
        }
    }
    fs::remove_all(pfad_, fehler);
}

std::string DateiLesen(const fs::path& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    return {std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
}

void DateiSchreiben(const fs::path& pfad, const std::string& inhalt) {
    std::ofstream datei(pfad, std::ios::binary | std::ios::trunc);
    datei << inhalt;
    if (!datei.flush()) {
        throw std::runtime_error("Testdatei nicht geschrieben: " + pfad.string());
    }
}

std::string Verzeichnisinhalt(const fs::path& verzeichnis) {
    std::set<std::string> namen;
    for (const auto& eintrag : fs::directory_iterator(verzeichnis)) {
        namen.insert(eintrag.path().filename().string());
    }
    std::string liste;
    for (const std::string& name : namen) {
        liste += liste.empty() ? name : " " + name;
    }
    return liste;
}

void DemTestnutzerGeben(const fs::path& pfad) {
    if (::geteuid() == 0 && ::lchown(pfad.c_str(), Testnutzer, Testnutzer) != 0) {
        throw std::runtime_error("chown fehlgeschlagen: " + pfad.string());
    }
}

int ImKindprozess(const std::function<int()>& schritt, bool ohneRechte,
                  std::optional<gid_t> zusatzgruppe) {
    const pid_t kind = ::fork();
    if (kind == 0) {
        if (ohneRechte && ::geteuid() == 0 &&
            (::setgroups(zusatzgruppe ? 1 : 0, zusatzgruppe ? &*zusatzgruppe : nullptr) != 0 ||
             ::setgid(Testnutzer) != 0 || ::setuid(Testnutzer) != 0)) {
            ::_exit(90);
        }
        int ergebnis = 91;
        try {
            ergebnis = schritt();
        } catch (...) {
            ergebnis = 92;
        }
        ::_exit(ergebnis);
    }
    int status = 0;
    if (kind < 0 || ::waitpid(kind, &status, 0) != kind) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}
