// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "serial/ComSettingsTarget.h"

#include <stdexcept>

// A port stand-in that counts the re-apply requests per group and can refuse them, as a device
// that rejects the values would.
class FakeSettingsTarget final : public TComSettingsTarget {
public:
    int lineSettings = 0;
    int timeouts = 0;
    int bufferSizes = 0;
    bool refuse = false;

    void ApplyLineSettings() override { Count(lineSettings); }
    void ApplyTimeouts() override { Count(timeouts); }
    void ApplyBufferSizes() override { Count(bufferSizes); }

    int Total() const { return lineSettings + timeouts + bufferSizes; }
    void Reset() { lineSettings = timeouts = bufferSizes = 0; }

private:
    void Count(int& counter) {
        ++counter;
        if (refuse) {
            throw std::runtime_error("refused");
        }
    }
};

// Which group a change is expected to re-apply.
enum class Group { Line, Timeouts, Buffer };

// The counts of `target` match exactly one re-apply of `group` and nothing else.
inline bool OnlyOnce(const FakeSettingsTarget& target, Group group) {
    const int expectedLine = group == Group::Line ? 1 : 0;
    const int expectedTimeouts = group == Group::Timeouts ? 1 : 0;
    const int expectedBuffer = group == Group::Buffer ? 1 : 0;
    return target.lineSettings == expectedLine && target.timeouts == expectedTimeouts &&
           target.bufferSizes == expectedBuffer;
}
