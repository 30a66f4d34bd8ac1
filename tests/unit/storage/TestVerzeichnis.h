// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh directory under the system's temporary folder, removed with everything in it when the
// test ends.
class TTestVerzeichnis {
public:
    TTestVerzeichnis() {
        std::string muster =
            (std::filesystem::temp_directory_path() / "quorlits-storage-XXXXXX").string();
        std::vector<char> puffer(muster.begin(), muster.end());
        puffer.push_back('\0');
        if (::mkdtemp(puffer.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        pfad_ = puffer.data();
    }
    TTestVerzeichnis(const TTestVerzeichnis&) = delete;
    TTestVerzeichnis& operator=(const TTestVerzeichnis&) = delete;
    ~TTestVerzeichnis() {
        std::error_code fehler;
        std::filesystem::remove_all(pfad_, fehler);
    }

    // The directory with a trailing "/".
    std::string Pfad() const { return pfad_ + "/"; }
    std::string Datei(const std::string& name) const { return Pfad() + name; }

private:
    std::string pfad_;
};

// The bytes of a file; empty when it cannot be read.
inline std::string DateiInhalt(const std::string& pfad) {
    std::ifstream datei(pfad, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>());
}

inline void DateiAnlegen(const std::string& pfad, const std::string& inhalt) {
    std::ofstream datei(pfad, std::ios::binary);
    datei << inhalt;
}
