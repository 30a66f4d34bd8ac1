// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/KonfPfad.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* Dateiname = "PHRX.CFG";

// Normal form for comparing directories: "/usr/./bin/" and "/usr/bin" are the same.
fs::path Normal(const fs::path& verzeichnis) {
    fs::path normal = verzeichnis.lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) {
        normal = normal.parent_path();
    }
    return normal;
}

std::optional<fs::path> Benutzerordner(const TUmgebung& umgebung) {
    if (fs::path(umgebung.XdgConfigHome).is_absolute()) {
        return fs::path(umgebung.XdgConfigHome) / "quorlits";
    }
    for (const std::string& home : {umgebung.Home, umgebung.PasswortHome}) {
        if (fs::path(home).is_absolute()) {
            return fs::path(home) / ".config" / "quorlits";
        }
    }
    return std::nullopt;
}

std::string Variable(const char* name) {
    const char* wert = std::getenv(name);
    return wert ? wert : "";
}

std::string HomeAusPasswortdatei() {
    long groesse = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> puffer(groesse > 0 ? static_cast<std::size_t>(groesse) : 16384);
    passwd eintrag{};
    passwd* gefunden = nullptr;
    if (::getpwuid_r(::getuid(), &eintrag, puffer.data(), puffer.size(), &gefunden) != 0 ||
        gefunden == nullptr || gefunden->pw_dir == nullptr) {
        return "";
    }
    return gefunden->pw_dir;
}

} // namespace

fs::path KonfigurationsPfad(const fs::path& programm, const fs::path& installBin,
                            const TUmgebung& umgebung) {
    const bool installiert =
        !installBin.empty() && Normal(programm.parent_path()) == Normal(installBin);
    if (programm.empty() || installiert) {
        if (std::optional<fs::path> ordner = Benutzerordner(umgebung)) {
            return *ordner / Dateiname;
        }
    }
    return programm.parent_path() / Dateiname;
}

fs::path ProgrammPfad() {
    std::error_code fehler;
    fs::path programm = fs::read_symlink("/proc/self/exe", fehler);
    return fehler ? fs::path() : programm;
}

TUmgebung ProzessUmgebung() {
    TUmgebung umgebung;
    umgebung.XdgConfigHome = Variable("XDG_CONFIG_HOME");
    umgebung.Home = Variable("HOME");
    if (umgebung.Home.empty()) {
        umgebung.PasswortHome = HomeAusPasswortdatei();
    }
    return umgebung;
}

fs::path KonfigurationsPfad() {
    // The install directory may be reached through a link (/bin -> usr/bin); the executable's
    // path from the system is already resolved.
    std::error_code fehler;
    fs::path installBin = fs::weakly_canonical(QUORLITS_INSTALL_BINDIR, fehler);
    if (fehler) {
        installBin = QUORLITS_INSTALL_BINDIR;
    }
    return KonfigurationsPfad(ProgrammPfad(), installBin, ProzessUmgebung());
}
