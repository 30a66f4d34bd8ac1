// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QtCore/qtestsupport_core.h>

#include <chrono>
#include <utility>

// Runs Qt's event loop of this thread until `fertig` holds; false when it did not within the
// generous limit (the run is stuck; a loaded machine under the sanitizers is slow, never this
// slow). Tests wait for the event they need this way, never for a fixed time.
template <typename Bedingung>
bool WartenBis(Bedingung&& fertig, std::chrono::seconds grenze = std::chrono::seconds(30)) {
    return QTest::qWaitFor(std::forward<Bedingung>(fertig),
                           static_cast<int>(std::chrono::milliseconds(grenze).count()));
}
