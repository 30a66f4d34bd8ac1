// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <filesystem>
#include <string_view>

// Replaces the file `ziel` with `inhalt` so that it is never left half written: the bytes go
// to a temporary file beside it, which is synced and then renamed over the old file. A
// crash or a full disk while saving leaves the old file as it was.
//
// Returns false, having changed nothing, when the file cannot be created: the directory is
// not writable, or an existing file is read-only or no regular file. A failure after the
// temporary file has been created (writing, syncing, closing) removes it again and raises
// EInOutError. A symbolic link is followed, so the file it points to is replaced.
bool DateiErsetzen(const std::filesystem::path& ziel, std::string_view inhalt);
