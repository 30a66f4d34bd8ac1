// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <optional>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// A TCP port on the loopback address that takes every connection and answers nothing: what a
// client sends stays to be read.
class TLauscher {
public:
    TLauscher() {
        sockaddr_in adresse{};
        adresse.sin_family = AF_INET;
        adresse.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t laenge = sizeof adresse;
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse), 0);
        EXPECT_EQ(::listen(fd_, 8), 0);
        EXPECT_EQ(::getsockname(fd_, reinterpret_cast<sockaddr*>(&adresse), &laenge), 0);
        port_ = ntohs(adresse.sin_port);
    }
    ~TLauscher() {
        for (const int fd : verbindungen_) {
            ::close(fd);
        }
        ::close(fd_);
    }
    TLauscher(const TLauscher&) = delete;
    TLauscher& operator=(const TLauscher&) = delete;

    int Port() const noexcept { return port_; }

    // Writes `bytes` to the first connection (after Empfangen saw it); false when that fails.
    bool Senden(const std::string& bytes) const {
        return !verbindungen_.empty() &&
               ::write(verbindungen_.front(), bytes.data(), bytes.size()) ==
                   static_cast<ssize_t>(bytes.size());
    }

    // Every byte received so far on every connection; none when no connection was made.
    std::optional<std::string> Empfangen() {
        for (int fd; (fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
            verbindungen_.push_back(fd);
        }
        char puffer[4096];
        for (const int fd : verbindungen_) {
            for (ssize_t n; (n = ::read(fd, puffer, sizeof puffer)) > 0;) {
                bytes_.append(puffer, static_cast<std::size_t>(n));
            }
        }
        return verbindungen_.empty() ? std::nullopt : std::optional(bytes_);
    }

private:
    int fd_ = -1;
    int port_ = 0;
    std::vector<int> verbindungen_;
    std::string bytes_;
};
