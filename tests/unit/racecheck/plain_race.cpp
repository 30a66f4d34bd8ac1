// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// Two threads write one plain int without any synchronisation. Under ThreadSanitizer this must
// be reported (the program then ends with the tool's exit code); it shows that the run of the
// thread tests under the tool catches races at all.
#include <cstdio>
#include <thread>

namespace {

int shared = 0;

void WriteUnguarded(int value) {
    shared = value;
}

} // namespace

int main() {
    std::thread first(WriteUnguarded, 1);
    std::thread second(WriteUnguarded, 2);
    first.join();
    second.join();
    std::printf("value written last: %d\n", shared);
    return 0;
}
