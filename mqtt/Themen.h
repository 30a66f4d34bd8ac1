// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// The MQTT topics of a bench and a meter: quorlits/v1/<bench>/<meter>/<kind>. The collector
// subscribes with wildcards in place of bench and meter, so each must be exactly one level.

enum class TThemenArt { Messwert, Ereignis, Zustand, Quittung };

// `text` as one topic level: '%', '/', '+', '#', '$', control bytes and bytes that are not
// valid UTF-8 become %XX (two upper-case hex digits), so the level holds no separator or
// wildcard and two different texts never give the same level. An empty text becomes "%",
// "." and ".." become "%2E" and "%2E%2E", so a level is also a safe file name.
std::string ThemenEbene(std::string_view text);

// The reverse of ThemenEbene; a '%' not followed by two hex digits stays as it is.
std::string ThemenEbeneLesen(std::string_view ebene);

// quorlits/v1/<bench>/<meter>/<reading|event|status|ack>; bench and meter are escaped here.
std::string Thema(std::string_view bench, std::string_view meter, TThemenArt art);

// The wildcard topic of every bench's and meter's `art`.
std::string AlleThemen(TThemenArt art);

// Bench, meter and kind of a topic of this scheme; false for any other topic.
struct TThemenTeile {
    std::string Bench;
    std::string Meter;
    TThemenArt Art = TThemenArt::Messwert;
};
bool ThemaZerlegen(std::string_view thema, TThemenTeile& teile);
