// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file-system roots that the program options offer in place of drives.

// "/", then `home` (when it is an absolute path other than "/"), then the mount points of `mounts`
// (the text of /proc/mounts) that lie under /media, /mnt or /run/media, in the order of the file;
// each root once. Octal escapes of mount points (\040 for a blank) are decoded.
std::vector<std::string> Laufwerke(std::string_view mounts, std::string_view home);

// The roots of this machine: /proc/mounts and $HOME, only those that are directories.
std::vector<std::string> LaufwerkeDesSystems();

// The root of `laufwerke` that holds the absolute directory `verzeichnis`: the longest one that
// equals it or is a leading path of it ("/" holds every directory).
std::string LaufwerkVon(const std::vector<std::string>& laufwerke, std::string_view verzeichnis);
