// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "tools/meter-sim/Messgeraet.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A raw-data capture of the program played back: the bytes of each received chunk as the port
// delivered them, each chunk followed by the recorded pause to the next one, divided by `tempo`.
// What the program sent and the other records of the capture are not played.
class TRohaufnahme {
public:
    // Reads the capture whole; raises EInOutError or ERohdatenFehler when it cannot be read,
    // std::runtime_error when it holds no received bytes.
    TRohaufnahme(const std::string& pfad, double tempo);

    // The next chunk with the pause after it; after the last one it starts again.
    TDatensatz NaechsterDatensatz();

    std::size_t Anzahl() const { return Stuecke.size(); }

    // Whether the capture ends with a cut or damaged record (the chunks before it are played).
    bool Abgeschnitten() const { return AbgeschnittenGelesen; }

private:
    struct TStueck {
        std::string Bytes;
        std::int64_t MonoNs;
    };

    std::chrono::nanoseconds AbstandNach(std::size_t index) const;

    std::vector<TStueck> Stuecke;
    double Tempo;
    std::size_t Naechstes = 0;
    bool AbgeschnittenGelesen = false;
};
