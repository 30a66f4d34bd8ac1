// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "tools/meter-sim/Rohaufnahme.h"

#include "storage/RohdatenLeser.h"
#include "tools/meter-sim/Ablauf.h"

#include <algorithm>
#include <stdexcept>

namespace {

// A pause longer than a day is a clock jump in the capture, not a pause worth waiting for.
constexpr double LaengsterAbstandNs = 86'400e9;

} // namespace

TRohaufnahme::TRohaufnahme(const std::string& pfad, double tempo)
    : Tempo(tempo) {
    TRohLeser leser(pfad);
    TRohEintrag eintrag;
    while (leser.Naechster(eintrag)) {
        if (eintrag.Art == TRohArt::Empfangen && !eintrag.Daten.empty()) {
            Stuecke.push_back({std::move(eintrag.Daten), eintrag.MonoNs});
        }
    }
    AbgeschnittenGelesen = leser.Abgeschnitten();
    if (Stuecke.empty()) {
        throw std::runtime_error(pfad + " enthält keine empfangenen Bytes");
    }
}

std::chrono::nanoseconds TRohaufnahme::AbstandNach(std::size_t index) const {
    if (index + 1 >= Stuecke.size()) {
        return std::chrono::nanoseconds(0);
    }
    const double abstand =
        static_cast<double>(Stuecke[index + 1].MonoNs - Stuecke[index].MonoNs) / Tempo;
    return std::chrono::nanoseconds(
        static_cast<std::int64_t>(std::clamp(abstand, 0.0, LaengsterAbstandNs)));
}

TDatensatz TRohaufnahme::NaechsterDatensatz() {
    const std::size_t index = Naechstes;
    Naechstes = (Naechstes + 1) % Stuecke.size();
    const std::string& bytes = Stuecke[index].Bytes;
    return TDatensatz{bytes, "Aufnahme\t" + Lesbar(bytes), AbstandNach(index)};
}
