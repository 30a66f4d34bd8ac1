// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Pseudoterminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fehler(const std::string& schritt) {
    throw std::runtime_error(schritt + ": " + std::strerror(errno));
}

} // namespace

TPseudoterminal::TPseudoterminal() {
    MasterFd = posix_openpt(O_RDWR | O_NOCTTY);
    if (MasterFd < 0) {
        Fehler("posix_openpt");
    }
    const char* name = nullptr;
    if (grantpt(MasterFd) != 0 || unlockpt(MasterFd) != 0 ||
        (name = ptsname(MasterFd)) == nullptr) {
        const int fehler = errno;
        close(MasterFd);
        errno = fehler;
        Fehler("pseudo-terminal");
    }
    GeraetePfad = name;
    // Raw on the master sets the pair's line discipline: no echo, no line editing, no CR/LF
    // translation, so the bytes pass unchanged until the program sets its own port settings.
    termios einstellung{};
    if (tcgetattr(MasterFd, &einstellung) == 0) {
        cfmakeraw(&einstellung);
        tcsetattr(MasterFd, TCSANOW, &einstellung);
    }
    const int flags = fcntl(MasterFd, F_GETFL);
    fcntl(MasterFd, F_SETFL, flags | O_NONBLOCK);
    fcntl(MasterFd, F_SETFD, FD_CLOEXEC);
}

TPseudoterminal::~TPseudoterminal() {
    close(MasterFd);
}
