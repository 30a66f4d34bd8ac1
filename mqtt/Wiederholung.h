// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <chrono>
#include <functional>

// When to try a connection again: after 1 s, then twice as long each time up to 30 s, every wait
// drawn at random between half and all of that. Benches that lost the same broker so come back
// spread over the interval, not all at the same instant of its restart.
class TWiederholung {
public:
    static constexpr std::chrono::milliseconds Erste{1000};
    static constexpr std::chrono::milliseconds Laengste{30000};

    // `zufall` gives numbers in [0, 1); a generator of its own when empty.
    explicit TWiederholung(std::function<double()> zufall = {});

    // The wait before the next try; the one after doubles.
    std::chrono::milliseconds Naechste();
    // Connected: the next loss waits Erste again.
    void Erfolg() noexcept { basis_ = Erste; }
    // The next try at once (another protocol version to offer), then Erste.
    void Sofort() noexcept { basis_ = std::chrono::milliseconds(0); }

private:
    std::function<double()> zufall_;
    std::chrono::milliseconds basis_ = Erste;
};
