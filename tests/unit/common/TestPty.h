// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

// A pseudo-terminal for tests and benchmarks: they hold the master side (non-blocking), the port
// opens the slave by its path. Closing the master looks like a pulled adapter to the slave.
class TPty {
public:
    TPty() {
        int slave = -1;
        char name[256] = {};
        if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
            throw std::runtime_error("openpty failed");
        }
        ::close(slave);
        path_ = name;
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~TPty() { CloseMaster(); }
    TPty(const TPty&) = delete;
    TPty& operator=(const TPty&) = delete;

    const std::string& Path() const { return path_; }
    int Master() const { return master_; }

    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

    // Writes all of `data`, waiting for room as long as needed but giving up at `giveUp`;
    // returns the number of bytes written.
    std::size_t Write(const char* data, std::size_t size,
                      std::chrono::steady_clock::time_point giveUp) const {
        std::size_t written = 0;
        while (written < size && std::chrono::steady_clock::now() < giveUp) {
            const ssize_t n = ::write(master_, data + written, size - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
            } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 100);
            } else {
                break;
            }
        }
        return written;
    }

    // Sends all of `bytes` towards the port; false when the line did not take them within
    // `wait` (a loaded machine gets ten seconds).
    [[nodiscard]] bool Send(const std::string& bytes,
                            std::chrono::milliseconds wait = std::chrono::seconds(10)) const {
        return Write(bytes.data(), bytes.size(), std::chrono::steady_clock::now() + wait) ==
               bytes.size();
    }

    // Reads until `count` bytes have come from the port or `wait` has passed.
    std::string Receive(std::size_t count,
                        std::chrono::milliseconds wait = std::chrono::seconds(10)) const {
        std::string got;
        const auto end = std::chrono::steady_clock::now() + wait;
        while (got.size() < count && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buffer[256];
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n > 0) {
                    got.append(buffer, static_cast<std::size_t>(n));
                }
            }
        }
        return got;
    }

private:
    int master_ = -1;
    std::string path_;
};
