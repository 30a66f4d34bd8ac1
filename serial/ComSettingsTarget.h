// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The port side of the settings: the object that owns the settings and applies them to its
// device. A setting object asks it to re-apply the group that a change concerns; the port alone
// decides whether that reaches the device (it must be open and no update batch may run) or the
// value is only remembered. A failure of the device to accept the values is raised from here,
// after the new value has been stored.
class TComSettingsTarget {
public:
    virtual void ApplyLineSettings() = 0; // device control block: rate, framing, flow, characters
    virtual void ApplyTimeouts() = 0;     // read and write timeouts
    virtual void ApplyBufferSizes() = 0;  // input and output queue sizes

protected:
    TComSettingsTarget() = default;
    TComSettingsTarget(const TComSettingsTarget&) = default;
    TComSettingsTarget& operator=(const TComSettingsTarget&) = default;
    ~TComSettingsTarget() = default;
};
