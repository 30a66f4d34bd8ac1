// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComBuffer.h"
#include "serial/ComFlowControl.h"
#include "serial/ComParity.h"
#include "serial/ComSettingsTarget.h"
#include "serial/ComTimeouts.h"
#include "serial/ComTypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The name of the device a new port uses.
inline constexpr std::string_view DefaultPortName = "COM1";

// How a new port hands events to its handlers.
inline constexpr TSyncMethod DefaultSyncMethod = smThreadSync;

// The settings a port holds: the line settings of its own and the four setting objects, which it
// owns and which are bound to the same port. A change of the baud rate, custom rate, data bits,
// stop bits, null discarding or event character is stored and re-applies the line settings;
// `Events` is only stored (it takes effect when the port opens next). Without a port (null) the
// values are only stored.
class TComPortSettings {
public:
    explicit TComPortSettings(TComSettingsTarget* port = nullptr) noexcept;
    TComPortSettings(const TComPortSettings&) = delete;
    TComPortSettings& operator=(const TComPortSettings&) = delete;

    TComSettingsTarget* SettingsTarget() const noexcept { return port_; }

    TBaudRate BaudRate() const noexcept { return baudRate_; }
    std::int32_t CustomBaudRate() const noexcept { return customBaudRate_; }
    TDataBits DataBits() const noexcept { return dataBits_; }
    TStopBits StopBits() const noexcept { return stopBits_; }
    bool DiscardNull() const noexcept { return discardNull_; }
    char EventChar() const noexcept { return eventChar_; }
    TComEvents Events() const noexcept { return events_; }

    void SetBaudRate(TBaudRate value);
    void SetCustomBaudRate(std::int32_t value);
    void SetDataBits(TDataBits value);
    void SetStopBits(TStopBits value);
    void SetDiscardNull(bool value);
    void SetEventChar(char value);
    void SetEvents(TComEvents value) noexcept { events_ = value; }

    // The port's own setting objects; changing them through their setters re-applies their group.
    TComParity& Parity() noexcept { return parity_; }
    const TComParity& Parity() const noexcept { return parity_; }
    TComFlowControl& FlowControl() noexcept { return flowControl_; }
    const TComFlowControl& FlowControl() const noexcept { return flowControl_; }
    TComTimeouts& Timeouts() noexcept { return timeouts_; }
    const TComTimeouts& Timeouts() const noexcept { return timeouts_; }
    TComBuffer& Buffer() noexcept { return buffer_; }
    const TComBuffer& Buffer() const noexcept { return buffer_; }

    // Whole-object assignment: copies the fields of `source` into the port's own object and then
    // re-applies its group (line settings, timeouts or queue sizes), also when nothing changed.
    void SetParity(const TComParity& source);
    void SetFlowControl(const TComFlowControl& source);
    void SetTimeouts(const TComTimeouts& source);
    void SetBuffer(const TComBuffer& source);

private:
    template <typename T>
    void ChangeLine(T& field, const T& value);
    void ReapplyLineSettings() const;

    TComSettingsTarget* port_;
    TBaudRate baudRate_ = br9600;
    std::int32_t customBaudRate_ = 9600;
    TDataBits dataBits_ = dbEight;
    TStopBits stopBits_ = sbOneStopBit;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TComEvents events_ = TComEvents::All();
    TComParity parity_;
    TComFlowControl flowControl_;
    TComTimeouts timeouts_;
    TComBuffer buffer_;
};

// The line settings of `settings` as key/value texts, for a record of what a port was opened
// with: "Baud" (bits per second), "Datenbits", "Paritaet", "Stoppbits", "Fluss" and
// "NulVerwerfen" (0 or 1), with the texts of the setup dialog.
std::vector<std::pair<std::string, std::string>>
LineSettingsTexts(const TComPortSettings& settings);
