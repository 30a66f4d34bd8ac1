// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <string_view>

// Replaces the file `ziel` with `inhalt`. Where it can, it does so without ever leaving the
// file half written: the bytes go to a temporary file beside it, which is synced and then
// renamed over the old file, so a crash or a full disk while saving leaves the old file as it
// was. The new file keeps owner, group and permissions of the one it replaces.
//
// When that is not possible for an existing file (the folder is not writable, or the file
// belongs to another user or group and the process may not give the new file to them), the
// file itself is rewritten from its start, cut to the new length and synced: the file, its
// owner and its links stay.
//
// Returns false, having changed nothing, when the file cannot be written at all: a new file
// cannot be created in its folder, or an existing file is read-only, not writable for this
// user or no regular file. A failure while writing, syncing or closing raises EInOutError;
// the temporary file is then removed again. A symbolic link is followed, so the file it points
// to is replaced.
bool DateiErsetzen(const std::filesystem::path& ziel, std::string_view inhalt);
