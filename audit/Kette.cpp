// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Kette.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <algorithm>
#include <stdexcept>

namespace {

QByteArrayView Bytes(const TKette::TWert& wert) {
    return {wert.data(), static_cast<qsizetype>(wert.size())};
}

} // namespace

void TKette::Anhaengen(std::string_view bytes) {
    QCryptographicHash sha(QCryptographicHash::Sha256);
    sha.addData(Bytes(wert_));
    sha.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    const QByteArrayView neu = sha.resultView();
    if (neu.size() != static_cast<qsizetype>(wert_.size())) {
        throw std::runtime_error("Die Prüfsumme SHA-256 lässt sich nicht berechnen.");
    }
    std::copy(neu.begin(), neu.end(), wert_.begin());
}

std::string TKette::Hex() const {
    return Bytes(wert_).toByteArray().toHex().toStdString();
}

std::optional<TKette::TWert> TKette::AusHex(std::string_view hex) {
    // fromHex skips what is no digit; the trail holds exactly 64 lower-case ones.
    TWert wert{};
    if (hex.size() != 2 * wert.size() || hex.find_first_not_of("0123456789abcdef") != hex.npos) {
        return std::nullopt;
    }
    const QByteArray bytes =
        QByteArray::fromHex(QByteArray(hex.data(), static_cast<qsizetype>(hex.size())));
    std::copy(bytes.begin(), bytes.end(), wert.begin());
    return wert;
}
