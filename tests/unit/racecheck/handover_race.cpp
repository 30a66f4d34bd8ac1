// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// What the hand-over to the user-interface thread tells ThreadSanitizer orders only the work
// with what the posting thread did before posting, and its run with the freeing of the call.
// Here the posting thread writes a plain int after posting, and the user-interface thread
// writes it after the work has run, before it joins the poster: nothing orders the two writes,
// whichever comes first. In about one run in eight the tool nevertheless sees the two threads
// ordered, through steps inside Qt that vary from run to run; so the pattern runs twenty times
// on fresh ints, and one report fails the program. Under ThreadSanitizer this must be
// reported, so the annotations of the hand-over (and the accesses they leave unrecorded while Qt
// posts) are shown not to hide races around it.
#include "serial/TsanHandover.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <thread>

namespace {

constexpr int Rounds = 20;
int shared[Rounds] = {};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int& value : shared) {
        bool ran = false; // set and read on this thread only
        std::thread poster([&app, &ran, &value] {
            PostHandedOver(&app, [&ran] { ran = true; });
            value = 1;
        });
        while (!ran) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        value = 2;
        poster.join();
    }
    std::printf("value written last: %d\n", shared[Rounds - 1]);
    return 0;
}
