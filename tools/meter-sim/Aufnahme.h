// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// A recording of raw meter bytes, played back piece by piece: each piece ends with a line feed
// outside a DC3 ... DC1 frame (so a whole printout is one piece), the last piece with the end
// of the file. After the last piece it starts again from the first.
class TAufnahme {
public:
    // Reads the file; throws std::runtime_error when it cannot be read or is empty.
    explicit TAufnahme(const std::string& pfad);

    // Splits raw bytes into pieces as described above.
    static std::vector<std::string> Zerlegen(const std::string& bytes);

    std::string NaechsterDatensatz();

private:
    std::vector<std::string> Stuecke;
    std::size_t Naechstes = 0;
};
