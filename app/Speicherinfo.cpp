// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/Speicherinfo.h"

#include <sys/sysinfo.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <map>

namespace {

// No machine has a petabyte of memory; a larger figure is a damaged text, and refusing it keeps
// the arithmetic below far from overflowing.
constexpr std::uint64_t GroessteKilobytes = std::uint64_t{1} << 40;

std::string_view OhneLeerzeichen(std::string_view text) {
    const auto anfang = text.find_first_not_of(" \t");
    if (anfang == std::string_view::npos) {
        return {};
    }
    return text.substr(anfang, text.find_last_not_of(" \t\r") - anfang + 1);
}

// One line "Name:   12345 kB"; the unit is always kB where there is one.
void ZeileAuswerten(std::string_view zeile,
                    std::map<std::string, std::uint64_t, std::less<>>& werte) {
    const auto doppelpunkt = zeile.find(':');
    if (doppelpunkt == std::string_view::npos) {
        return;
    }
    const std::string_view wert = OhneLeerzeichen(zeile.substr(doppelpunkt + 1));
    std::uint64_t zahl = 0;
    const auto [ende, fehler] = std::from_chars(wert.data(), wert.data() + wert.size(), zahl);
    const std::string_view rest =
        OhneLeerzeichen(wert.substr(static_cast<std::size_t>(ende - wert.data())));
    if (fehler == std::errc{} && (rest.empty() || rest == "kB") && zahl <= GroessteKilobytes) {
        werte.emplace(std::string(zeile.substr(0, doppelpunkt)), zahl);
    }
}

std::optional<std::uint64_t> Wert(const std::map<std::string, std::uint64_t, std::less<>>& werte,
                                  std::string_view name) {
    const auto it = werte.find(name);
    return it == werte.end() ? std::nullopt : std::optional(it->second);
}

// The free memory in kB: MemAvailable, or on old kernels what the page cache could give back.
std::optional<std::uint64_t>
FreierSpeicher(const std::map<std::string, std::uint64_t, std::less<>>& werte) {
    if (const auto verfuegbar = Wert(werte, "MemAvailable")) {
        return verfuegbar;
    }
    const auto frei = Wert(werte, "MemFree");
    if (!frei) {
        return std::nullopt;
    }
    return *frei + Wert(werte, "Buffers").value_or(0) + Wert(werte, "Cached").value_or(0);
}

unsigned LastInProzent(std::uint64_t gesamt, std::uint64_t frei) {
    if (frei >= gesamt) {
        return 0;
    }
    return static_cast<unsigned>(((gesamt - frei) * 200 + gesamt) / (2 * gesamt));
}

std::optional<TSpeicherStand> AusSysinfo() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0 || info.totalram == 0 || info.mem_unit == 0) {
        return std::nullopt;
    }
    const std::uint64_t einheit = info.mem_unit;
    const std::uint64_t gesamt = info.totalram * einheit;
    const std::uint64_t frei = (std::uint64_t{info.freeram} + info.bufferram) * einheit;
    return TSpeicherStand{gesamt, LastInProzent(gesamt, frei)};
}

std::string Gruppiert(std::uint64_t zahl) {
    std::string ziffern = zahl == 0 ? std::string() : std::to_string(zahl);
    for (auto stelle = static_cast<std::ptrdiff_t>(ziffern.size()) - 3; stelle > 0; stelle -= 3) {
        ziffern.insert(static_cast<std::size_t>(stelle), 1, '.');
    }
    return ziffern;
}

} // namespace

std::optional<TSpeicherStand> MeminfoAuswerten(std::string_view text) {
    std::map<std::string, std::uint64_t, std::less<>> werte;
    while (!text.empty()) {
        const auto ende = text.find('\n');
        ZeileAuswerten(text.substr(0, ende), werte);
        text = ende == std::string_view::npos ? std::string_view() : text.substr(ende + 1);
    }
    const auto gesamt = Wert(werte, "MemTotal");
    const auto frei = FreierSpeicher(werte);
    if (!gesamt || *gesamt == 0 || !frei) {
        return std::nullopt;
    }
    return TSpeicherStand{*gesamt * 1024, LastInProzent(*gesamt, *frei)};
}

TSpeicherStand SpeicherStandLesen(const std::filesystem::path& meminfo) {
    std::ifstream datei(meminfo);
    const std::string text{std::istreambuf_iterator<char>(datei), std::istreambuf_iterator<char>()};
    if (const auto stand = MeminfoAuswerten(text)) {
        return *stand;
    }
    return AusSysinfo().value_or(TSpeicherStand{});
}

std::string PhysMemText(std::uint64_t bytes) {
    const std::uint64_t kilobytes = bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
    return Gruppiert(kilobytes) + " KB";
}

std::string FreeResText(unsigned prozent) {
    return std::to_string(prozent) + " %";
}
