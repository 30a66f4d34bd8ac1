// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

// The process's time zone for a test: ZeitzoneSetzen changes it, TZeitzoneBewahren gives the
// one it found back at the end of its scope (unset TZ included).
inline void ZeitzoneSetzen(const char* tz) {
    ::setenv("TZ", tz, 1);
    ::tzset();
}

class TZeitzoneBewahren {
public:
    TZeitzoneBewahren() {
        if (const char* tz = std::getenv("TZ")) {
            vorher_ = tz;
            hatteTz_ = true;
        }
    }
    ~TZeitzoneBewahren() {
        if (hatteTz_) {
            ::setenv("TZ", vorher_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    TZeitzoneBewahren(const TZeitzoneBewahren&) = delete;
    TZeitzoneBewahren& operator=(const TZeitzoneBewahren&) = delete;

private:
    std::string vorher_;
    bool hatteTz_ = false;
};
