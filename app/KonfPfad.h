// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <string>

// What the process's environment says about the user's folders; empty means unset.
struct TUmgebung {
    std::string XdgConfigHome; // $XDG_CONFIG_HOME
    std::string Home;          // $HOME
    std::string PasswortHome;  // home directory of the user's entry in the password database
};

// Where PHRX.CFG lives. Normally beside the executable `programm`. The installed program,
// whose executable lies in `installBin`, keeps it in the user's configuration folder,
// $XDG_CONFIG_HOME/quorlits or else ~/.config/quorlits, since a system directory is no place
// for one user's settings. Relative folder names in the environment are ignored. When the
// executable is unknown (empty) the user's folder is used; when no folder of the user is
// known the file stays beside the executable.
std::filesystem::path KonfigurationsPfad(const std::filesystem::path& programm,
                                         const std::filesystem::path& installBin,
                                         const TUmgebung& umgebung);

// The running executable (from /proc/self/exe); empty when the system does not tell.
std::filesystem::path ProgrammPfad();

// The environment of this process, with the password database when $HOME is unset.
TUmgebung ProzessUmgebung();

// The path of PHRX.CFG for this process.
std::filesystem::path KonfigurationsPfad();
