// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QProcess>

#include <filesystem>
#include <memory>
#include <string>

// The real services the publishing tests run against, each in a folder of its own under the
// system's temporary folder, removed with it.

// A free TCP port on the loopback address.
int FreierPort();

// How a test broker lets clients in: anyone over plain TCP, or over TLS with a certificate of a
// test CA made for it, and only with the user name and password given.
struct TBrokerZugang {
    bool Tls = false;
    std::string Benutzer;
    std::string Passwort;
};

// A broker that lets in only the users of a password file made by mosquitto_passwd and gives
// each what an ACL file allows (Mosquitto's acl_file); plain TCP.
struct TBrokerRechte {
    std::filesystem::path PasswortDatei;
    std::filesystem::path AclDatei;
};

// Adds `benutzer` with `passwort` to the Mosquitto password file `datei`, made when missing;
// false when mosquitto_passwd fails.
bool MosquittoBenutzer(const std::filesystem::path& datei, const std::string& benutzer,
                       const std::string& passwort);

// Mosquitto on 127.0.0.1 at a free port, with persistence on (the broker keeps sessions,
// queued messages and retained messages across a restart) and no limit on queued messages.
class TMosquitto {
public:
    explicit TMosquitto(TBrokerZugang zugang = {});
    explicit TMosquitto(const TBrokerRechte& rechte);
    ~TMosquitto();

    int Port() const noexcept { return port_; }
    std::string Url() const {
        return (zugang_.Tls ? "mqtts://127.0.0.1:" : "mqtt://127.0.0.1:") + std::to_string(port_);
    }
    // The CA that signed the broker's certificate (with TLS).
    std::string CaDatei() const { return (ordner_ / "ca.pem").string(); }

    // Starts the broker and waits until it accepts connections; false when it does not.
    bool Starten();
    // Ends the broker: SIGTERM saves its persistence, SIGKILL does not.
    void Beenden(int signal);

private:
    TMosquitto(TBrokerZugang zugang, const TBrokerRechte& rechte);
    void TlsAnlegen();

    TBrokerZugang zugang_;
    std::filesystem::path ordner_;
    int port_ = 0;
    std::unique_ptr<QProcess> prozess_;
};

// A certificate authority of its own in `ordner` (ca.pem, ca.key); false when openssl fails.
bool TestCaAnlegen(const std::filesystem::path& ordner);

// PostgreSQL of Debian in a fresh cluster, listening on a Unix socket only. initdb and the
// server refuse to run as root, so under root they run as "nobody".
class TPostgres {
public:
    TPostgres();
    ~TPostgres();

    // initdb and start; false (with the reason on stderr) when that fails.
    bool Starten();
    bool Neustarten();
    void Anhalten();

    // libpq's connection string of the cluster's database `datenbank`.
    std::string Verbindung(const std::string& datenbank = "postgres") const;
    // What `sql` run through psql in `datenbank` prints (rows on lines, columns split by "|");
    // empty on failure.
    std::string Abfrage(const std::string& sql, const std::string& datenbank = "postgres") const;
    // psql running `sql` in the background, for a session that holds a lock while it runs.
    std::unique_ptr<QProcess> ImHintergrund(const std::string& sql) const;

private:
    bool PgCtl(const std::string& befehl) const;
    bool Ausfuehren(const std::vector<std::string>& befehl) const;

    std::filesystem::path ordner_;
    std::filesystem::path bin_;
    bool gestartet_ = false;
};

// Whether mosquitto and PostgreSQL's programs are installed (scripts/deps.sh installs them).
bool MosquittoDa();
bool PostgresDa();
