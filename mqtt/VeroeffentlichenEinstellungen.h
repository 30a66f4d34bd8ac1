// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// The group [Veroeffentlichen] of quorlits.conf: whether and where readings are published.
struct TVeroeffentlichenEinstellungen {
    bool Aktiv = false;
    std::string Server; // mqtt://host:1883 or mqtts://host:8883
    std::string Benutzer;
    std::string PasswortDatei; // a file holding the password, readable by its owner alone
    std::string CaDatei;       // the certificate authority of a TLS server
    std::string Arbeitsplatz;  // the bench's name; the host name when empty
    std::uint64_t OutboxGrenze = 1024ULL * 1024ULL * 1024ULL; // bytes

    bool operator==(const TVeroeffentlichenEinstellungen&) const = default;
};

// The group of `datei`; defaults for what is missing or cannot be read. OutboxGrenze takes a
// number of bytes with an optional unit (KB, MB, GB; 1024-based).
TVeroeffentlichenEinstellungen VeroeffentlichenLesen(const std::filesystem::path& datei);

// Writes the group, keeping every other key of the file; raises EInOutError when the file
// cannot be written.
void VeroeffentlichenSchreiben(const std::filesystem::path& datei,
                               const TVeroeffentlichenEinstellungen& einstellungen);

// A size as quorlits.conf keeps it: "1 GB", "500 MB", "64 KB" where that is exact, else the
// bytes as a number.
std::string GroesseText(std::uint64_t bytes);

// The bench's name: Arbeitsplatz, or the machine's host name when it is empty.
std::string ArbeitsplatzName(const TVeroeffentlichenEinstellungen& einstellungen);

// Where the password file is: a relative name under a service manager's credentials
// ($CREDENTIALS_DIRECTORY, as systemd's LoadCredential= hands them over) when there are any,
// else as it stands.
std::string PasswortPfad(const std::string& datei);

// The password in `datei` (its first line). Raises EMeldung, in German and naming the file,
// when it cannot be read or when anyone but its owner may read it.
std::string PasswortLesen(const std::string& datei);

// Where the broker is.
struct TBrokerAdresse {
    bool Tls = false;
    std::string Rechner;
    int Port = 1883;

    bool operator==(const TBrokerAdresse&) const = default;
};

// mqtt://host[:port] (1883) or mqtts://host[:port] (8883); an IPv6 address in brackets. Raises
// EMeldung with a German message for anything else.
TBrokerAdresse BrokerAdresseLesen(const std::string& url);
