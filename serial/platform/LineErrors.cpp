// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/platform/LineErrors.h"

#include "serial/platform/ComPlatformTypes.h"

#include <array>

namespace {

struct TCounterError {
    std::uint32_t TLineCounters::*Counter;
    std::uint32_t Error;
    std::uint32_t Event;
};

constexpr std::array<TCounterError, 5> counterErrors{{
    {&TLineCounters::Frame, WinComm::CeFrame, WinComm::EvErr},
    {&TLineCounters::Parity, WinComm::CeRxParity, WinComm::EvErr},
    {&TLineCounters::Overrun, WinComm::CeOverrun, WinComm::EvErr},
    {&TLineCounters::BufOverrun, WinComm::CeRxOver, WinComm::EvErr},
    {&TLineCounters::Break, WinComm::CeBreak, WinComm::EvBreak},
}};

} // namespace

TLineErrorReport LineErrorsBetween(const TLineCounters& before, const TLineCounters& after) {
    TLineErrorReport report;
    for (const auto& [counter, error, event] : counterErrors) {
        // Counters only grow; a changed value (also one that wrapped) means new errors.
        if (before.*counter != after.*counter) {
            report.Errors |= error;
            report.Events |= event;
        }
    }
    return report;
}
