// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <array>
#include <cstddef>
#include <string>

// Reads text lines from a file descriptor, keeping only the start of each line, so a line of
// any length costs no more memory than its kept start. A line ends with CR LF, LF or a lone
// CR; the end of the file ends the last line, and a line break at the very end starts no
// further line.
class TZeilenLeser {
public:
    TZeilenLeser(int fd, std::size_t behalten) noexcept
        : fd_(fd)
        , behalten_(behalten) {}

    // Puts the first characters of the next line into `anfang`; false at the end of the file.
    // A read error raises EInOutError.
    bool NaechsteZeile(std::string& anfang);

private:
    int Holen();    // next byte, or -1 at the end of the file
    int Ansehen();  // the same without taking it
    bool Fuellen(); // false at the end of the file

    int fd_;
    std::size_t behalten_;
    std::array<char, 4096> puffer_{};
    std::size_t position_ = 0;
    std::size_t ende_ = 0;
};
