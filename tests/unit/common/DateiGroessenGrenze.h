// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>

// A file-size limit for this process, as a full disk would act: a write that crosses it goes
// out part-way, the next one fails with EFBIG. SIGXFSZ is ignored meanwhile, so the process
// sees the error instead of dying. Heben() lifts the limit again, as freed room would.
class TDateiGroessenGrenze {
public:
    explicit TDateiGroessenGrenze(rlim_t grenze) {
        if (::getrlimit(RLIMIT_FSIZE, &vorher_) != 0) {
            throw std::runtime_error("getrlimit(RLIMIT_FSIZE) failed");
        }
        signalVorher_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit neu = vorher_;
        neu.rlim_cur = grenze;
        if (::setrlimit(RLIMIT_FSIZE, &neu) != 0) {
            std::signal(SIGXFSZ, signalVorher_);
            throw std::runtime_error("setrlimit(RLIMIT_FSIZE) failed");
        }
    }
    ~TDateiGroessenGrenze() {
        Heben();
        std::signal(SIGXFSZ, signalVorher_);
    }
    TDateiGroessenGrenze(const TDateiGroessenGrenze&) = delete;
    TDateiGroessenGrenze& operator=(const TDateiGroessenGrenze&) = delete;

    // Raising the soft limit back to where it was is always allowed.
    void Heben() noexcept { ::setrlimit(RLIMIT_FSIZE, &vorher_); }

private:
    rlimit vorher_{};
    void (*signalVorher_)(int) = SIG_DFL;
};
