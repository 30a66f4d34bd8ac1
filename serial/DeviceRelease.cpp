// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/DeviceRelease.h"

#include "serial/platform/ComDevice.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <mutex>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace {

// What the releasing thread and the waiting one share. The releasing thread only sets the flag
// and wakes the waiting one's event loop through an eventfd; the waiting one may have stopped
// waiting already (the application quits), and the eventfd lives as long as either needs it.
class TReleaseWait {
public:
    TReleaseWait()
        : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (fd_ < 0) {
            throw std::system_error(errno, std::generic_category(), "eventfd");
        }
    }
    ~TReleaseWait() { ::close(fd_); }
    TReleaseWait(const TReleaseWait&) = delete;
    TReleaseWait& operator=(const TReleaseWait&) = delete;

    int Fd() const noexcept { return fd_; }

    void Release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        const std::uint64_t one = 1;
        static_cast<void>(::write(fd_, &one, sizeof one));
    }
    bool Released() {
        const std::lock_guard lock(mutex_);
        return released_;
    }

private:
    int fd_;
    std::mutex mutex_;
    bool released_ = false;
};

} // namespace

bool AwaitDeviceRelease(TComDevice& device) {
    const QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr || QThread::currentThread() != application->thread()) {
        return true;
    }
    const auto wait = std::make_shared<TReleaseWait>();
    if (!device.WhenClosed([wait] { wait->Release(); })) {
        return true;
    }
    QEventLoop loop;
    QSocketNotifier woken(static_cast<qintptr>(wait->Fd()), QSocketNotifier::Read);
    QObject::connect(&woken, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    // The release may have come before the notifier existed; the eventfd keeps it.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return wait->Released();
}
