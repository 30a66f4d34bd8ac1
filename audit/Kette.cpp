// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "audit/Kette.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace {

using TKontext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

constexpr std::string_view Ziffern = "0123456789abcdef";

int ZiffernWert(char c) {
    const auto stelle = Ziffern.find(c);
    return stelle == std::string_view::npos ? -1 : static_cast<int>(stelle);
}

} // namespace

void TKette::Anhaengen(std::string_view bytes) {
    TKontext kontext(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned int laenge = 0;
    if (!kontext || EVP_DigestInit_ex(kontext.get(), EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(kontext.get(), wert_.data(), wert_.size()) != 1 ||
        EVP_DigestUpdate(kontext.get(), bytes.data(), bytes.size()) != 1 ||
        EVP_DigestFinal_ex(kontext.get(), wert_.data(), &laenge) != 1 || laenge != wert_.size()) {
        throw std::runtime_error("Die Prüfsumme SHA-256 lässt sich nicht berechnen.");
    }
}

std::string TKette::Hex() const {
    std::string hex;
    hex.reserve(2 * wert_.size());
    for (const unsigned char byte : wert_) {
        hex += Ziffern[byte >> 4];
        hex += Ziffern[byte & 0x0F];
    }
    return hex;
}

std::optional<TKette::TWert> TKette::AusHex(std::string_view hex) {
    TWert wert{};
    if (hex.size() != 2 * wert.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < wert.size(); ++i) {
        const int hoch = ZiffernWert(hex[2 * i]);
        const int tief = ZiffernWert(hex[2 * i + 1]);
        if (hoch < 0 || tief < 0) {
            return std::nullopt;
        }
        wert[i] = static_cast<unsigned char>(hoch * 16 + tief);
    }
    return wert;
}
