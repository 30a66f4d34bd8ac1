// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "app/ZeilenLeser.h"

#include "storage/EInOutError.h"

#include <cerrno>
#include <unistd.h>

bool TZeilenLeser::NaechsteZeile(std::string& anfang) {
    anfang.clear();
    int zeichen = Holen();
    if (zeichen < 0) {
        return false;
    }
    while (zeichen >= 0 && zeichen != '\r' && zeichen != '\n') {
        if (anfang.size() < behalten_) {
            anfang.push_back(static_cast<char>(zeichen));
        }
        zeichen = Holen();
    }
    if (zeichen == '\r' && Ansehen() == '\n') {
        Holen();
    }
    return true;
}

int TZeilenLeser::Holen() {
    const int zeichen = Ansehen();
    if (zeichen >= 0) {
        ++position_;
    }
    return zeichen;
}

int TZeilenLeser::Ansehen() {
    if (position_ == ende_ && !Fuellen()) {
        return -1;
    }
    return static_cast<unsigned char>(puffer_[position_]);
}

bool TZeilenLeser::Fuellen() {
    for (;;) {
        const ssize_t gelesen = ::read(fd_, puffer_.data(), puffer_.size());
        if (gelesen < 0 && errno == EINTR) {
            continue;
        }
        if (gelesen < 0) {
            throw EInOutError::AusErrno(errno);
        }
        position_ = 0;
        ende_ = static_cast<std::size_t>(gelesen);
        return gelesen > 0;
    }
}
