// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "headless/Eingabe.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::string_view OhneLeerraum(std::string_view text) {
    constexpr std::string_view Leer = " \t";
    const std::size_t anfang = text.find_first_not_of(Leer);
    if (anfang == std::string_view::npos) {
        return {};
    }
    return text.substr(anfang, text.find_last_not_of(Leer) - anfang + 1);
}

bool GleichOhneGross(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto klein = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (klein(a[i]) != klein(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

TEingabeZeilen::TEingabeZeilen(int fd, std::function<void(const std::string&)> zeile,
                               QObject* parent)
    : QObject(parent)
    , fd_(fd)
    , zeile_(std::move(zeile)) {
    if (fd_ < 0 || ::fcntl(fd_, F_GETFD) < 0) {
        return; // no input at all (a closed standard input)
    }
    melder_ = new QSocketNotifier(static_cast<qintptr>(fd_), QSocketNotifier::Read, this);
    connect(melder_, &QSocketNotifier::activated, this, [this] { Lesen(); });
}

void TEingabeZeilen::Lesen() {
    char daten[4096];
    const ssize_t gelesen = ::read(fd_, daten, sizeof daten);
    if (gelesen > 0) {
        Aufnehmen(std::string_view(daten, static_cast<std::size_t>(gelesen)));
        return;
    }
    if (gelesen < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (!puffer_.empty()) {
        Abgeben(); // the last line, without its line end
    }
    Beenden(gelesen < 0 ? errno : 0);
}

void TEingabeZeilen::Aufnehmen(std::string_view daten) {
    while (!daten.empty()) {
        const std::size_t ende = daten.find('\n');
        puffer_.append(daten.substr(0, std::min(ende, LaengsteZeile - puffer_.size())));
        if (ende == std::string_view::npos) {
            return;
        }
        Abgeben();
        daten.remove_prefix(ende + 1);
    }
}

void TEingabeZeilen::Abgeben() {
    if (!puffer_.empty() && puffer_.back() == '\r') {
        puffer_.pop_back();
    }
    zeile_(puffer_);
    puffer_.clear();
}

void TEingabeZeilen::Beenden(int fehler) {
    melder_->setEnabled(false);
    melder_->deleteLater();
    melder_ = nullptr;
    emit Ende(fehler);
}

std::optional<std::pair<TAngabe, std::string>> AngabeZeileLesen(std::string_view zeile) {
    const std::size_t doppelpunkt = zeile.find(':');
    if (doppelpunkt == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = OhneLeerraum(zeile.substr(0, doppelpunkt));
    for (const TAngabe angabe : AlleAngaben) {
        if (GleichOhneGross(name, AngabeName(angabe))) {
            return std::pair{angabe, std::string(OhneLeerraum(zeile.substr(doppelpunkt + 1)))};
        }
    }
    return std::nullopt;
}
