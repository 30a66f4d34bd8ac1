// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/DateiAufrufe.h"
#include "storage/Dateideskriptor.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The folder of an outbox: its segment files 00000001.seg, 00000002.seg ... (oldest first),
// the lock file `sperre`, which is never renamed, and what was moved aside from damaged
// segments (00000003.seg.beschaedigt-1 ...). Every call raises EInOutError when the system
// refuses.

// The segment `nummer` of the outbox in `ordner`.
std::filesystem::path SegmentPfad(const std::filesystem::path& ordner, std::uint64_t nummer);

// The numbers of the segments in `ordner`, ascending; other files are left out.
std::vector<std::uint64_t> SegmentNummern(const std::filesystem::path& ordner);

// Makes `ordner` the outbox's folder. An outbox of an earlier version is a single file at that
// path, with the header and records of a segment: it becomes the folder's first segment, so no
// waiting message is lost by an update. A file that is no outbox is refused (EMeldung) and left
// as it is. Then takes the lock; EMeldung when another program holds it.
std::unique_ptr<TDateideskriptor> AusgangsOrdnerOeffnen(TDateiAufrufe& aufrufe,
                                                        const std::filesystem::path& ordner);

// Brings the entries of `ordner` (a file made, renamed or removed) onto the disk.
void OrdnerSynchronisieren(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner);

// Copies the bytes of the segment `fd` at `pfad` from `ab` to its end into the first free file
// `<pfad>.beschaedigt-N`, brings that onto the disk and cuts the segment at `ab`. Returns the
// name of the copy.
std::filesystem::path RestBeiseiteLegen(TDateiAufrufe& aufrufe, const std::filesystem::path& pfad,
                                        int fd, std::uint64_t ab);

// Raises EInOutError (ENOSPC) when the file system of `ordner` has less than `bytes` free for
// the program.
void PlatzPruefen(TDateiAufrufe& aufrufe, const std::filesystem::path& ordner, std::uint64_t bytes);
