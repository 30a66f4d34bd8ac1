// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

// A fresh directory under the system's temporary folder, removed with everything in it.
class TTestOrdner {
public:
    TTestOrdner();
    ~TTestOrdner();
    TTestOrdner(const TTestOrdner&) = delete;
    TTestOrdner& operator=(const TTestOrdner&) = delete;

    const std::filesystem::path& Pfad() const { return pfad_; }
    // The directory as text with a trailing "/", as a directory part of a file name.
    std::string Verzeichnis() const { return pfad_.string() + "/"; }
    std::string Datei(const std::string& name) const { return Verzeichnis() + name; }
    std::filesystem::path operator/(const std::string& name) const { return pfad_ / name; }

private:
    std::filesystem::path pfad_;
};

std::string DateiLesen(const std::filesystem::path& pfad);
void DateiSchreiben(const std::filesystem::path& pfad, const std::string& inhalt);

// Names of the entries of a directory, sorted.
std::string Verzeichnisinhalt(const std::filesystem::path& verzeichnis);

// Gives `pfad` to the unprivileged user that ImKindprozess(..., true) runs as (only possible as
// root; otherwise the files already belong to the user that runs the tests).
void DemTestnutzerGeben(const std::filesystem::path& pfad);

// Runs `schritt` in a child process and returns its result (or 100 + signal when it died).
// With `ohneRechte` the child runs as user "nobody" when the tests run as root, so that file
// permissions apply to it as they do to a normal user. It then belongs to no group but its own
// and, when given, `zusatzgruppe`, as a user who shares files through a group.
int ImKindprozess(const std::function<int()>& schritt, bool ohneRechte,
                  std::optional<gid_t> zusatzgruppe = std::nullopt);
