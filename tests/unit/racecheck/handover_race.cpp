// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// What the hand-over to the user-interface thread tells ThreadSanitizer orders only the work
// with what the posting thread did before posting, and its run with the freeing of the call.
// Here the posting thread writes a plain int after posting, and the user-interface thread
// writes it after the work has run, before it joins the poster: nothing orders the two writes,
// whichever comes first. Under ThreadSanitizer this must be reported, so the annotations of the
// hand-over (and the accesses they leave unrecorded while Qt posts) are shown not to hide races
// around it.
#include "serial/TsanHandover.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <cstdio>
#include <thread>

namespace {

int shared = 0;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    bool ran = false; // set and read on this thread only
    std::thread poster([&app, &ran] {
        PostHandedOver(&app, [&ran] { ran = true; });
        shared = 1;
    });
    while (!ran) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    shared = 2;
    poster.join();
    std::printf("value written last: %d\n", shared);
    return 0;
}
