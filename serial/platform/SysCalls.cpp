// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/SysCalls.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

int TRealSysCalls::Open(const char* path, int flags) {
    return ::open(path, flags);
}

int TRealSysCalls::Close(int fd) {
    return ::close(fd);
}

ssize_t TRealSysCalls::Read(int fd, void* data, std::size_t count) {
    return ::read(fd, data, count);
}

ssize_t TRealSysCalls::Write(int fd, const void* data, std::size_t count) {
    return ::write(fd, data, count);
}

int TRealSysCalls::Poll(pollfd* fds, nfds_t count, int timeoutMs) {
    return ::poll(fds, count, timeoutMs);
}

int TRealSysCalls::Flock(int fd, int operation) {
    return ::flock(fd, operation);
}

int TRealSysCalls::TcGetAttr(int fd, termios& settings) {
    return ::tcgetattr(fd, &settings);
}

int TRealSysCalls::TcSetAttr(int fd, const termios& settings) {
    return ::tcsetattr(fd, TCSANOW, &settings);
}

int TRealSysCalls::TcFlush(int fd, int queue) {
    return ::tcflush(fd, queue);
}

int TRealSysCalls::Ioctl(int fd, unsigned long request, void* argument) {
    return ::ioctl(fd, request, argument);
}

int TRealSysCalls::SetExclusive(int fd, bool exclusive) {
    return ::ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL);
}

int TRealSysCalls::ModemGet(int fd, int& lines) {
    return ::ioctl(fd, TIOCMGET, &lines);
}

int TRealSysCalls::ModemRaise(int fd, int lines) {
    return ::ioctl(fd, TIOCMBIS, &lines);
}

int TRealSysCalls::ModemDrop(int fd, int lines) {
    return ::ioctl(fd, TIOCMBIC, &lines);
}

int TRealSysCalls::ModemWait(int fd, int lines) {
    // The mask is passed by value, not through a pointer.
    return ::ioctl(fd, TIOCMIWAIT, static_cast<unsigned long>(lines));
}

int TRealSysCalls::GetCounters(int fd, TLineCounters& counters) {
    serial_icounter_struct raw{};
    if (::ioctl(fd, TIOCGICOUNT, &raw) < 0) {
        return -1;
    }
    const auto count = [](int value) { return static_cast<std::uint32_t>(value); };
    counters.Cts = count(raw.cts);
    counters.Dsr = count(raw.dsr);
    counters.Ring = count(raw.rng);
    counters.Dcd = count(raw.dcd);
    counters.Frame = count(raw.frame);
    counters.Overrun = count(raw.overrun);
    counters.Parity = count(raw.parity);
    counters.Break = count(raw.brk);
    counters.BufOverrun = count(raw.buf_overrun);
    return 0;
}

int TRealSysCalls::OutputQueue(int fd, int& bytes) {
    return ::ioctl(fd, TIOCOUTQ, &bytes);
}

TSysCalls& RealSysCalls() noexcept {
    static TRealSysCalls calls;
    return calls;
}
