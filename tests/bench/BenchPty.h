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

// A pseudo-terminal of the benchmarks: they write into the master, the port opens the slave by its
// path.
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

    int Master() const { return master_; }

    // Closes the master as an unplugged adapter would vanish; the slave side sees a hang-up.
    void CloseMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    const std::string& Path() const { return path_; }

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

private:
    int master_ = -1;
    std::string path_;
};
