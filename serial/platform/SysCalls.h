// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <poll.h>
#include <sys/types.h>
#include <termios.h>

// The driver's interrupt counters of a serial line (TIOCGICOUNT), as far as the device uses them.
struct TLineCounters {
    std::uint32_t Cts = 0;
    std::uint32_t Dsr = 0;
    std::uint32_t Ring = 0;
    std::uint32_t Dcd = 0;
    std::uint32_t Frame = 0;
    std::uint32_t Overrun = 0;
    std::uint32_t Parity = 0;
    std::uint32_t Break = 0;
    std::uint32_t BufOverrun = 0;

    friend bool operator==(const TLineCounters&, const TLineCounters&) = default;
};

// The system calls of the serial device layer. Every call behaves like the system call it is
// named after: it returns -1 and sets errno on failure. Tests derive from TRealSysCalls and
// replace single calls to produce what a pseudo-terminal cannot: modem-line changes, line
// errors, a draining output queue, a hang-up.
class TSysCalls {
public:
    virtual ~TSysCalls() = default;

    virtual int Open(const char* path, int flags) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t Read(int fd, void* data, std::size_t count) = 0;
    virtual ssize_t Write(int fd, const void* data, std::size_t count) = 0;
    virtual int Poll(pollfd* fds, nfds_t count, int timeoutMs) = 0;
    virtual int Flock(int fd, int operation) = 0;

    virtual int TcGetAttr(int fd, termios& settings) = 0;
    virtual int TcSetAttr(int fd, const termios& settings) = 0;
    virtual int TcFlush(int fd, int queue) = 0;
    // Any other ioctl; the device uses it for the rate requests of its own translation unit.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;

    // TIOCEXCL (true) or TIOCNXCL (false).
    virtual int SetExclusive(int fd, bool exclusive) = 0;
    // TIOCMGET, TIOCMBIS and TIOCMBIC with TIOCM_* bits.
    virtual int ModemGet(int fd, int& lines) = 0;
    virtual int ModemRaise(int fd, int lines) = 0;
    virtual int ModemDrop(int fd, int lines) = 0;
    // TIOCMIWAIT: sleeps until one of the TIOCM_* lines in `lines` changes; EINTR on a signal.
    virtual int ModemWait(int fd, int lines) = 0;
    // TIOCGICOUNT.
    virtual int GetCounters(int fd, TLineCounters& counters) = 0;
    // TIOCOUTQ: the bytes not yet sent.
    virtual int OutputQueue(int fd, int& bytes) = 0;
};

// The calls of the running system.
class TRealSysCalls : public TSysCalls {
public:
    int Open(const char* path, int flags) override;
    int Close(int fd) override;
    ssize_t Read(int fd, void* data, std::size_t count) override;
    ssize_t Write(int fd, const void* data, std::size_t count) override;
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override;
    int Flock(int fd, int operation) override;
    int TcGetAttr(int fd, termios& settings) override;
    int TcSetAttr(int fd, const termios& settings) override;
    int TcFlush(int fd, int queue) override;
    int Ioctl(int fd, unsigned long request, void* argument) override;
    int SetExclusive(int fd, bool exclusive) override;
    int ModemGet(int fd, int& lines) override;
    int ModemRaise(int fd, int lines) override;
    int ModemDrop(int fd, int lines) override;
    int ModemWait(int fd, int lines) override;
    int GetCounters(int fd, TLineCounters& counters) override;
    int OutputQueue(int fd, int& bytes) override;
};

// The process-wide instance of TRealSysCalls.
TSysCalls& RealSysCalls() noexcept;
