// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "Dienste.h"

#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const Mosquitto = "/usr/sbin/mosquitto";

fs::path NeuerOrdner(const char* art) {
    std::string muster = (fs::temp_directory_path() / (std::string(art) + "-XXXXXX")).string();
    if (::mkdtemp(muster.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    return muster;
}

bool AlsRoot() {
    return ::geteuid() == 0;
}

void NobodyGeben(const fs::path& pfad) {
    if (const passwd* nobody = ::getpwnam("nobody"); AlsRoot() && nobody != nullptr) {
        if (::chown(pfad.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            std::perror("chown");
        }
    }
}

bool Verbindbar(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_port = htons(static_cast<std::uint16_t>(port));
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ja = ::connect(fd, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse) == 0;
    ::close(fd);
    return ja;
}

// The newest PostgreSQL of Debian's packages.
fs::path PostgresBin() {
    fs::path neuestes;
    std::error_code fehler;
    for (const auto& eintrag : fs::directory_iterator("/usr/lib/postgresql", fehler)) {
        if (fs::exists(eintrag.path() / "bin" / "initdb") && eintrag.path() > neuestes) {
            neuestes = eintrag.path();
        }
    }
    return neuestes.empty() ? neuestes : neuestes / "bin";
}

} // namespace

int FreierPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in adresse{};
    adresse.sin_family = AF_INET;
    adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t laenge = sizeof adresse;
    ::bind(fd, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&adresse), &laenge);
    ::close(fd);
    return ntohs(adresse.sin_port);
}

bool MosquittoDa() {
    return ::access(Mosquitto, X_OK) == 0;
}

bool PostgresDa() {
    return !PostgresBin().empty();
}

namespace {

bool ProgrammAusfuehren(const QString& programm, const QStringList& argumente,
                        const fs::path& ordner) {
    QProcess prozess;
    prozess.setWorkingDirectory(QString::fromStdString(ordner.string()));
    prozess.setProcessChannelMode(QProcess::MergedChannels);
    prozess.start(programm, argumente);
    if (!prozess.waitForFinished(60000) || prozess.exitCode() != 0) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(programm), prozess.readAll().constData());
        return false;
    }
    return true;
}

} // namespace

bool TestCaAnlegen(const fs::path& ordner) {
    return ProgrammAusfuehren(QStringLiteral("openssl"),
                              {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                               "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", "ca.key",
                               "-out", "ca.pem", "-days", "3", "-subj", "/CN=Quorlits Test-CA"},
                              ordner);
}

bool MosquittoBenutzer(const fs::path& datei, const std::string& benutzer,
                       const std::string& passwort) {
    std::error_code fehler;
    QStringList argumente{"-b", QString::fromStdString(datei.string()),
                          QString::fromStdString(benutzer), QString::fromStdString(passwort)};
    if (!fs::exists(datei, fehler)) {
        argumente.prepend(QStringLiteral("-c"));
    }
    return ProgrammAusfuehren(QStringLiteral("mosquitto_passwd"), argumente, datei.parent_path());
}

TMosquitto::TMosquitto(TBrokerZugang zugang)
    : TMosquitto(std::move(zugang), TBrokerRechte{}) {}

TMosquitto::TMosquitto(const TBrokerRechte& rechte)
    : TMosquitto(TBrokerZugang{}, rechte) {}

TMosquitto::TMosquitto(TBrokerZugang zugang, const TBrokerRechte& rechte)
    : zugang_(std::move(zugang))
    , ordner_(NeuerOrdner("quorlits-mosquitto"))
    , port_(FreierPort()) {
    const passwd* ich = ::getpwuid(::geteuid());
    std::ofstream konf(ordner_ / "mosquitto.conf");
    konf << "listener " << port_ << " 127.0.0.1\n";
    if (zugang_.Tls) {
        TlsAnlegen();
        konf << "cafile " << CaDatei() << "\ncertfile " << (ordner_ / "server.pem").string()
             << "\nkeyfile " << (ordner_ / "server.key").string() << "\n";
    }
    if (!rechte.PasswortDatei.empty()) {
        konf << "allow_anonymous false\npassword_file " << rechte.PasswortDatei.string() << "\n";
    } else if (!zugang_.Benutzer.empty()) {
        ProgrammAusfuehren(QStringLiteral("mosquitto_passwd"),
                           {"-c", "-b", "passwd", QString::fromStdString(zugang_.Benutzer),
                            QString::fromStdString(zugang_.Passwort)},
                           ordner_);
        konf << "allow_anonymous false\npassword_file " << (ordner_ / "passwd").string() << "\n";
    } else {
        konf << "allow_anonymous true\n";
    }
    if (!rechte.AclDatei.empty()) {
        konf << "acl_file " << rechte.AclDatei.string() << "\n";
    }
    konf << "persistence true\n"
         << "persistence_location " << ordner_.string() << "/\n"
         << "max_queued_messages 0\n"
         << "log_dest file " << (ordner_ / "mosquitto.log").string() << "\n"
         << "user " << (ich != nullptr ? ich->pw_name : "root") << "\n";
}

// A server certificate for 127.0.0.1 and localhost, signed by a test CA of its own.
void TMosquitto::TlsAnlegen() {
    std::ofstream(ordner_ / "san.cnf") << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
    const bool gut =
        TestCaAnlegen(ordner_) &&
        ProgrammAusfuehren(QStringLiteral("openssl"),
                           {"req", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                            "-nodes", "-keyout", "server.key", "-out", "server.csr", "-subj",
                            "/CN=localhost"},
                           ordner_) &&
        ProgrammAusfuehren(QStringLiteral("openssl"),
                           {"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey",
                            "ca.key", "-CAcreateserial", "-out", "server.pem", "-days", "2",
                            "-extfile", "san.cnf"},
                           ordner_);
    if (!gut) {
        std::fprintf(stderr, "openssl could not make the test certificates\n");
    }
}

TMosquitto::~TMosquitto() {
    Beenden(SIGKILL);
    std::error_code fehler;
    fs::remove_all(ordner_, fehler);
}

bool TMosquitto::Starten() {
    prozess_ = std::make_unique<QProcess>();
    // Its complaint about running as root says nothing here; its log goes to the folder.
    prozess_->setStandardErrorFile(QProcess::nullDevice());
    prozess_->start(
        QString::fromLatin1(Mosquitto),
        {QStringLiteral("-c"), QString::fromStdString((ordner_ / "mosquitto.conf").string())});
    if (!prozess_->waitForStarted(10000)) {
        return false;
    }
    // The broker listens once it has read its persistence; the only way to know is to try.
    const QDeadlineTimer frist(30000);
    while (!Verbindbar(port_)) {
        if (frist.hasExpired() || prozess_->state() != QProcess::Running) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void TMosquitto::Beenden(int signal) {
    if (!prozess_ || prozess_->state() != QProcess::Running) {
        return;
    }
    ::kill(static_cast<pid_t>(prozess_->processId()), signal);
    prozess_->waitForFinished(30000);
    prozess_.reset();
}

TPostgres::TPostgres()
    : ordner_(NeuerOrdner("quorlits-postgres"))
    , bin_(PostgresBin()) {
    // "nobody" must reach the data and socket folders inside.
    fs::permissions(ordner_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    for (const char* teil : {"daten", "socket"}) {
        fs::create_directory(ordner_ / teil);
        NobodyGeben(ordner_ / teil);
    }
}

TPostgres::~TPostgres() {
    Anhalten();
    std::error_code fehler;
    fs::remove_all(ordner_, fehler);
}

bool TPostgres::Ausfuehren(const std::vector<std::string>& befehl) const {
    QStringList argumente;
    QString programm;
    if (AlsRoot()) {
        programm = QStringLiteral("/usr/sbin/runuser");
        argumente << QStringLiteral("-u") << QStringLiteral("nobody") << QStringLiteral("--");
    }
    for (const std::string& teil : befehl) {
        argumente << QString::fromStdString(teil);
    }
    if (programm.isEmpty()) {
        programm = argumente.takeFirst();
    }
    QProcess prozess;
    prozess.setWorkingDirectory(QString::fromStdString(ordner_.string()));
    prozess.setProcessChannelMode(QProcess::MergedChannels);
    prozess.start(programm, argumente);
    if (!prozess.waitForFinished(120000) || prozess.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", prozess.readAll().constData());
        return false;
    }
    return true;
}

bool TPostgres::PgCtl(const std::string& befehl) const {
    const std::string socket = (ordner_ / "socket").string();
    return Ausfuehren({(bin_ / "pg_ctl").string(), "-D", (ordner_ / "daten").string(), "-l",
                       (ordner_ / "socket" / "log").string(), "-w", "-m", "fast", "-o",
                       "-c listen_addresses= -k " + socket + " -c fsync=off", befehl});
}

bool TPostgres::Starten() {
    if (!Ausfuehren({(bin_ / "initdb").string(), "-D", (ordner_ / "daten").string(), "-U",
                     "quorlits", "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync"})) {
        return false;
    }
    gestartet_ = PgCtl("start");
    return gestartet_;
}

bool TPostgres::Neustarten() {
    return PgCtl("restart");
}

void TPostgres::Anhalten() {
    if (gestartet_) {
        PgCtl("stop");
        gestartet_ = false;
    }
}

std::string TPostgres::Verbindung(const std::string& datenbank) const {
    return "host=" + (ordner_ / "socket").string() + " user=quorlits dbname=" + datenbank;
}

std::string TPostgres::Abfrage(const std::string& sql, const std::string& datenbank) const {
    QProcess psql;
    psql.start(QString::fromStdString((bin_ / "psql").string()),
               {QString::fromStdString(Verbindung(datenbank)), QStringLiteral("-XAtqc"),
                QString::fromStdString(sql)});
    if (!psql.waitForFinished(60000) || psql.exitCode() != 0) {
        std::fprintf(stderr, "psql: %s\n", psql.readAllStandardError().constData());
        return {};
    }
    return psql.readAllStandardOutput().trimmed().toStdString();
}

std::unique_ptr<QProcess> TPostgres::ImHintergrund(const std::string& sql) const {
    auto psql = std::make_unique<QProcess>();
    psql->start(QString::fromStdString((bin_ / "psql").string()),
                {QString::fromStdString(Verbindung()), QStringLiteral("-XAtqc"),
                 QString::fromStdString(sql)});
    return psql;
}
