// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mqtt/Wiederholung.h"

#include <algorithm>
#include <random>
#include <utility>

TWiederholung::TWiederholung(std::function<double()> zufall)
    : zufall_(std::move(zufall)) {
    if (!zufall_) {
        zufall_ = [erzeuger = std::mt19937(std::random_device{}()),
                   verteilung = std::uniform_real_distribution<double>(0.0, 1.0)]() mutable {
            return verteilung(erzeuger);
        };
    }
}

std::chrono::milliseconds TWiederholung::Naechste() {
    const std::chrono::milliseconds basis = basis_;
    basis_ = std::clamp(basis * 2, Erste, Laengste);
    // A source beyond [0, 1) stays within half and all of the wait.
    const double anteil = 0.5 + 0.5 * std::clamp(zufall_(), 0.0, 1.0);
    return std::chrono::milliseconds(
        static_cast<std::chrono::milliseconds::rep>(static_cast<double>(basis.count()) * anteil));
}
