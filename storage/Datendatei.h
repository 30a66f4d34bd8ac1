// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>

// How the data file is opened.
enum class TOeffnungsArt {
    Anhaengen,    // continue at the end of an existing file, create a missing one
    Neuschreiben, // create, or empty an existing file at once
};

// The data file. Every line written reaches the operating system at once (no buffer of its
// own, so a crash of the program loses no reading already handled); closing syncs it to disk.
// Opening reports failure by its result; writing and closing raise EInOutError.
class TDatendatei {
public:
    TDatendatei() = default;
    TDatendatei(const TDatendatei&) = delete;
    TDatendatei& operator=(const TDatendatei&) = delete;
    // Closes an open file quietly; errors can no longer be reported here.
    ~TDatendatei();

    // Opens `pfad` (an open file is closed quietly first). False when it cannot be opened;
    // OeffnenFehler() then tells why.
    bool Oeffnen(const std::string& pfad, TOeffnungsArt art);

    // The errno of the last failed Oeffnen, 0 after a successful one.
    int OeffnenFehler() const noexcept { return oeffnenFehler_; }

    // Writes `text` completely. A failure (for instance a full disk) raises EInOutError; the
    // file stays open.
    void Schreiben(std::string_view text);

    // Syncs and closes the file; nothing happens when it is not open. The file is closed also
    // when the sync fails; the failure raises EInOutError afterwards.
    void Schliessen();

    bool IstOffen() const noexcept { return fd_ >= 0; }

private:
    int fd_ = -1;
    int oeffnenFehler_ = 0;
};
