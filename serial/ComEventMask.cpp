// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "serial/ComEventMask.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TComEvent, std::uint32_t>, 10> eventFlags{{
    {evRxChar, WinComm::EvRxChar},
    {evTxEmpty, WinComm::EvTxEmpty},
    {evRxFlag, WinComm::EvRxFlag},
    {evRing, WinComm::EvRing},
    {evBreak, WinComm::EvBreak},
    {evCTS, WinComm::EvCts},
    {evDSR, WinComm::EvDsr},
    {evError, WinComm::EvErr},
    {evRLSD, WinComm::EvRlsd},
    {evRx80Full, WinComm::EvRx80Full},
}};

constexpr std::array<std::pair<TComError, std::uint32_t>, 8> errorFlags{{
    {ceFraming, WinComm::CeFrame},
    {ceParity, WinComm::CeRxParity},
    {ceOverrun, WinComm::CeOverrun},
    {ceBreak, WinComm::CeBreak},
    {ceDeviceIO, WinComm::CeIoe},
    {ceMode, WinComm::CeMode},
    {ceInputOverflow, WinComm::CeRxOver},
    {ceOutputFull, WinComm::CeTxFull},
}};

constexpr std::array<std::pair<TLineSignal, std::uint32_t>, 4> signalFlags{{
    {sigCTS, WinComm::MsCtsOn},
    {sigDSR, WinComm::MsDsrOn},
    {sigRing, WinComm::MsRingOn},
    {sigRLSD, WinComm::MsRlsdOn},
}};

// The set of the elements whose flag is present in `word`.
template <typename Set, typename Table>
Set SetFromWord(const Table& table, std::uint32_t word) {
    Set result;
    for (const auto& [element, flag] : table) {
        if ((word & flag) != 0) {
            result.Include(element);
        }
    }
    return result;
}

} // namespace

std::uint32_t EventsToMask(TComEvents events) {
    std::uint32_t mask = 0;
    for (const auto& [event, flag] : eventFlags) {
        if (events.Contains(event)) {
            mask |= flag;
        }
    }
    return mask;
}

TComEvents MaskToEvents(std::uint32_t mask) {
    return SetFromWord<TComEvents>(eventFlags, mask);
}

TComErrors ErrorWordToErrors(std::uint32_t errorWord, bool parityCheck) {
    TComErrors errors = SetFromWord<TComErrors>(errorFlags, errorWord);
    if (!parityCheck) {
        errors.Exclude(ceParity);
    }
    return errors;
}

TLineSignals ModemStatusToSignals(std::uint32_t status) {
    return SetFromWord<TLineSignals>(signalFlags, status);
}
