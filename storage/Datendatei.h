// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

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

    // Writes `text` completely or not at all, so the file holds only whole lines. A failure
    // (a full disk, the file-size limit) cuts the file back to its length before the write and
    // raises EInOutError; the file stays open. When even that is impossible (a pipe, a refused
    // truncation), the next text written starts on a new line, so it is never glued to the
    // broken one.
    void Schreiben(std::string_view text);

    // Syncs and closes the file; nothing happens when it is not open. The file is closed also
    // when the sync fails; the failure raises EInOutError afterwards.
    void Schliessen();

    bool IstOffen() const noexcept { return fd_ >= 0; }

    // The lines of the open file up to its last text written (the line of the reading just
    // saved): counted from the file at the first call after opening, then kept up by each
    // write. Empty when the file cannot be read back (a pipe).
    std::optional<std::int64_t> Zeilen() const;

    // The truncation used to cut back a failed write; tests put a failing one in its place.
    using TKuerzen = int (*)(int fd, off_t laenge);
    void KuerzenErsetzen(TKuerzen kuerzen) noexcept { kuerzen_ = kuerzen; }

private:
    // After a write that failed once `geschrieben` bytes had gone out: takes them back.
    void Zurueckschneiden(std::size_t geschrieben) noexcept;

    int fd_ = -1;
    int oeffnenFehler_ = 0;
    std::string pfad_;
    bool zeilenanfangFaellig_ = false;           // a broken line is left at the end of pfad_
    mutable std::optional<std::int64_t> zeilen_; // once counted
    mutable bool gezaehlt_ = false;
    TKuerzen kuerzen_ = ::ftruncate;
};
