// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "collector/Datenbank.h"

#include <optional>
#include <string>
#include <string_view>

// A message from the broker as the collector stores it, or nothing when it cannot: a topic that
// is no reading or event of this scheme (silently), or a payload without a readable measurement and
// seq (then `meldung` says why, in German). A message whose other keys are wrong, a gap event with
// bad limits included, comes with its reason in Fehler and goes to the table rejected. Bench and
// meter are the names decoded from the topic, or the level as it came when the decoded name is
// empty or no text PostgreSQL takes: a message is never dropped for its names, as the bench would
// then send it again for ever.
std::optional<TEingang> EingangLesen(std::string_view thema, std::string_view inhalt,
                                     std::string& meldung);
