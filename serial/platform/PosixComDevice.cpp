// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/PosixComDevice.h"

#include "serial/platform/ComPlatformTypes.h"
#include "serial/platform/CustomBaud.h"
#include "serial/platform/PortName.h"
#include "serial/platform/Termios.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::size_t defaultInputSize = 4096;

// A driver that has no such request (pseudo-terminals have no modem lines).
bool NotSupported(int error) {
    return error == EINVAL || error == ENOTTY || error == ENOSYS;
}

// The device has gone away: nothing is left to discard on it.
bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

// Whether `fd` is the slave side of a pseudo-terminal (Unix 98 slaves have the majors 136 to
// 143, the old BSD ones 3).
// The device number of the character device `fd` has open; 0 for anything else.
dev_t DeviceNumber(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 && S_ISCHR(info.st_mode) ? info.st_rdev : 0;
}

bool IsPseudoTerminal(int fd) {
    const dev_t device = DeviceNumber(fd);
    if (device == 0) {
        return false;
    }
    const unsigned int kind = major(device);
    return (kind >= 136 && kind <= 143) || kind == 3;
}

// Takes the lock on the device node. A port of this process destroyed while the driver still
// held its close keeps the lock until that close ends; it is waited for as a port's own close is.
int LockNode(TSysCalls& sys, int fd) {
    if (sys.Flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EWOULDBLOCK || !TDeferredClose::AwaitClosesOf(DeviceNumber(fd))) {
        return error;
    }
    return sys.Flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
}

int NewEventFd() {
    const int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    return fd;
}

// "Return at once with what is queued" until the port sets its own timeouts.
TCommTimeouts InitialTimeouts() {
    TCommTimeouts timeouts;
    timeouts.ReadIntervalTimeout = 0xFFFFFFFF;
    return timeouts;
}

std::uint32_t BitsPerChar(const TDCB& dcb) {
    const std::uint32_t parity = dcb.Parity != WinComm::NoParity ? 1 : 0;
    const std::uint32_t stop = dcb.StopBits != WinComm::OneStopBit ? 2 : 1;
    return 1 + dcb.ByteSize + parity + stop;
}

} // namespace

TPosixComDevice::TPosixComDevice()
    : TPosixComDevice(RealSysCalls()) {}

TPosixComDevice::TPosixComDevice(TSysCalls& sys)
    : sys_(sys)
    , wakeFd_(NewEventFd())
    , arrivedFd_(NewEventFd())
    , queue_(defaultInputSize)
    , closer_(sys)
    , timeouts_(InitialTimeouts()) {}

TPosixComDevice::~TPosixComDevice() {
    Close();
    ::close(wakeFd_);
    ::close(arrivedFd_);
}

int TPosixComDevice::Open(const std::string& portName) {
    if (IsOpen()) {
        return EBUSY;
    }
    closer_.Wait();
    int fd = -1;
    if (const int error = OpenLocked(DevicePathOfPort(portName), fd)) {
        if (fd >= 0) {
            sys_.Close(fd);
        }
        return error;
    }
    ResetState(fd);
    pseudoTerminal_ = IsPseudoTerminal(fd);
    modemWatch_ = std::make_unique<TModemWatch>(sys_, fd, wakeFd_);
    fd_ = fd;
    return 0;
}

int TPosixComDevice::OpenLocked(const std::string& path, int& fd) {
    fd = sys_.Open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // TIOCEXCL does not stop root; the lock on the device node does.
    if (const int error = LockNode(sys_, fd)) {
        return error;
    }
    if (sys_.SetExclusive(fd, true) < 0 && !NotSupported(errno)) {
        return errno;
    }
    termios settings{};
    if (sys_.TcGetAttr(fd, settings) < 0) {
        return errno;
    }
    MakeRaw(settings);
    return sys_.TcSetAttr(fd, settings) < 0 ? errno : 0;
}

void TPosixComDevice::ResetState(int fd) {
    queue_.Clear();
    Consume(wakeFd_);
    Consume(arrivedFd_);
    const std::lock_guard lock(mutex_);
    mask_ = 0;
    pendingEvents_ = 0;
    pendingErrors_ = 0;
    discardNull_ = false;
    eventChar_ = 0;
    timeouts_ = InitialTimeouts();
    txPending_ = false;
    hangUpError_ = 0;
    countersSupported_ = sys_.GetCounters(fd, counters_) == 0;
}

void TPosixComDevice::Close() noexcept {
    const int fd = fd_.exchange(-1);
    if (fd < 0) {
        return;
    }
    modemWatch_.reset();
    sys_.SetExclusive(fd, false);
    DropFlowControlOf(fd);
    // Closing also releases the lock.
    closer_.Start(fd, DeviceNumber(fd));
    queue_.Clear();
}

void TPosixComDevice::DropFlowControlOf(int fd) noexcept {
    // What flow control holds back would keep close() waiting; the port has discarded what was
    // still queued, and nothing is sent after this.
    termios settings{};
    if (sys_.TcGetAttr(fd, settings) == 0) {
        DropFlowControl(settings);
        sys_.TcSetAttr(fd, settings);
    }
}

bool TPosixComDevice::WhenClosed(std::function<void()> done) {
    return closer_.WhenDone(std::move(done));
}

bool TPosixComDevice::IsOpen() const noexcept {
    return fd_ >= 0;
}

int TPosixComDevice::SetupComm(std::uint32_t inputSize, std::uint32_t /*outputSize*/) {
    if (!IsOpen()) {
        return EBADF;
    }
    queue_.SetCapacity(inputSize);
    // A larger queue may have room again for the bytes waiting in the kernel.
    Wake();
    return 0;
}

int TPosixComDevice::SetCommState(const TDCB& dcb) {
    const int fd = fd_;
    if (fd < 0) {
        return EBADF;
    }
    termios current{};
    if (sys_.TcGetAttr(fd, current) < 0) {
        return errno;
    }
    const TLineSetup setup = TranslateDcb(dcb, current);
    if (setup.Error != 0) {
        return setup.Error;
    }
    if (sys_.TcSetAttr(fd, setup.Settings) < 0) {
        return errno;
    }
    modemWatch_->Poke();
    if (setup.CustomRate) {
        const auto ioctl = [this](int device, unsigned long request, void* argument) {
            return sys_.Ioctl(device, request, argument);
        };
        if (const int error = ApplyCustomBaudRate(fd, setup.BaudRate, ioctl)) {
            return error;
        }
    }
    if (const int error = ApplyModemLines(fd, setup.RaiseLines, setup.DropLines)) {
        return error;
    }
    RememberLine(dcb);
    return 0;
}

int TPosixComDevice::ApplyModemLines(int fd, int raise, int drop) {
    if (raise != 0 && sys_.ModemRaise(fd, raise) < 0 && !NotSupported(errno)) {
        return errno;
    }
    if (drop != 0 && sys_.ModemDrop(fd, drop) < 0 && !NotSupported(errno)) {
        return errno;
    }
    return 0;
}

void TPosixComDevice::RememberLine(const TDCB& dcb) {
    const std::lock_guard lock(mutex_);
    discardNull_ = dcb.fNull;
    eventChar_ = static_cast<std::uint8_t>(dcb.EvtChar);
    baudRate_ = dcb.BaudRate;
    bitsPerChar_ = BitsPerChar(dcb);
}

int TPosixComDevice::SetCommTimeouts(const TCommTimeouts& timeouts) {
    if (!IsOpen()) {
        return EBADF;
    }
    const std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
    return 0;
}

int TPosixComDevice::SetCommMask(std::uint32_t mask) {
    if (!IsOpen()) {
        return EBADF;
    }
    {
        const std::lock_guard lock(mutex_);
        mask_ = mask;
        ++maskGeneration_;
        pendingEvents_ = 0;
        txPending_ = txPending_ && (mask & WinComm::EvTxEmpty) != 0;
    }
    Wake();
    return 0;
}

int TPosixComDevice::ClearCommError(std::uint32_t& errors, std::uint32_t& inputQueue) {
    errors = 0;
    inputQueue = 0;
    if (!IsOpen()) {
        return EBADF;
    }
    const std::lock_guard lock(mutex_);
    // A hang-up found here is reported by the next event wait and read, not by this query.
    DrainLocked(false);
    RefreshCountersLocked();
    errors = pendingErrors_;
    pendingErrors_ = 0;
    inputQueue = static_cast<std::uint32_t>(queue_.Size());
    return 0;
}

int TPosixComDevice::OutputQueueCount(std::uint32_t& count) {
    count = 0;
    const int fd = fd_;
    if (fd < 0) {
        return EBADF;
    }
    int queued = 0;
    if (sys_.OutputQueue(fd, queued) < 0) {
        return NotSupported(errno) ? 0 : errno;
    }
    count = queued > 0 ? static_cast<std::uint32_t>(queued) : 0;
    return 0;
}

int TPosixComDevice::GetCommModemStatus(std::uint32_t& status) {
    status = 0;
    const int fd = fd_;
    if (fd < 0) {
        return EBADF;
    }
    int lines = 0;
    if (sys_.ModemGet(fd, lines) < 0) {
        return NotSupported(errno) ? 0 : errno;
    }
    status |= (lines & TIOCM_CTS) != 0 ? WinComm::MsCtsOn : 0;
    status |= (lines & TIOCM_DSR) != 0 ? WinComm::MsDsrOn : 0;
    status |= (lines & TIOCM_RNG) != 0 ? WinComm::MsRingOn : 0;
    status |= (lines & TIOCM_CAR) != 0 ? WinComm::MsRlsdOn : 0;
    return 0;
}

int TPosixComDevice::PurgeComm(std::uint32_t flags) {
    const int fd = fd_;
    if (fd < 0) {
        return EBADF;
    }
    const auto flush = [&](int queue) {
        return sys_.TcFlush(fd, queue) < 0 && !DeviceGone(errno) ? errno : 0;
    };
    if ((flags & (WinComm::PurgeRxAbort | WinComm::PurgeRxClear)) != 0) {
        queue_.Clear();
        Wake();
        if (const int error = flush(TCIFLUSH)) {
            return error;
        }
    }
    // A pseudo-terminal keeps no output queue of its own: written bytes are in the other end's
    // input at once, and flushing the output side would discard them there, unread. A port
    // closed right after a write (closing purges) would lose its text.
    if ((flags & (WinComm::PurgeTxAbort | WinComm::PurgeTxClear)) != 0 && !pseudoTerminal_) {
        return flush(TCOFLUSH);
    }
    return 0;
}

void TPosixComDevice::Wake() const noexcept {
    const std::uint64_t one = 1;
    static_cast<void>(::write(wakeFd_, &one, sizeof one));
}

void TPosixComDevice::Consume(int eventFd) noexcept {
    std::uint64_t count = 0;
    static_cast<void>(::read(eventFd, &count, sizeof count));
}
