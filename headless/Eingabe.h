// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Angaben.h"

#include <QObject>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

class QSocketNotifier;

// The lines that come in on the logger's standard input (or another descriptor) while it runs,
// read from Qt's event loop as they arrive. The end of the input (EOF, /dev/null, a closed pipe)
// or a read error ends the reading, never the run, and costs no time afterwards.
class TEingabeZeilen : public QObject {
    Q_OBJECT
public:
    // A longer line is cut there; the rest of it is passed over.
    static constexpr std::size_t LaengsteZeile = 4096;

    // Reads `fd`, which stays open; `zeile` gets each line without its line end (LF or CR LF),
    // also a last one that has none.
    TEingabeZeilen(int fd, std::function<void(const std::string&)> zeile,
                   QObject* parent = nullptr);

    bool Liest() const noexcept { return melder_ != nullptr; }

signals:
    // The input ended: `fehler` is the errno of a read error, 0 at its end.
    void Ende(int fehler);

private:
    void Lesen();
    void Aufnehmen(std::string_view daten);
    void Abgeben();
    void Beenden(int fehler);

    int fd_;
    std::function<void(const std::string&)> zeile_;
    QSocketNotifier* melder_ = nullptr;
    std::string puffer_; // the line being read, at most LaengsteZeile bytes
};

// A line of the logger's input that changes sample, operator or electrode: "Probe: P-17",
// "Bediener: …", "Elektrode: …" (the name in upper or lower case, a colon, the value; spaces
// around the value do not count). Nothing for any other line.
std::optional<std::pair<TAngabe, std::string>> AngabeZeileLesen(std::string_view zeile);
