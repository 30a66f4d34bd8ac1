// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "acquisition/Messart.h"

namespace {

constexpr std::string_view Leitfaehigkeit = "Lf";

// 10^n for the small powers a unit prefix gives; exact as a double.
double Zehnhoch(int n) {
    double ergebnis = 1.0;
    for (int i = 0; i < n; ++i) {
        ergebnis *= 10.0;
    }
    return ergebnis;
}

} // namespace

double TUmrechnung::operator()(double wert) const {
    return Zehnerpotenz < 0 ? wert / Zehnhoch(-Zehnerpotenz) : wert * Zehnhoch(Zehnerpotenz);
}

int LeitwertZehnerpotenz(std::string_view einheit) {
    if (einheit.empty()) {
        return 0;
    }
    switch (static_cast<unsigned char>(einheit.front())) {
    case 'm':
    case 'M':
        return -3;
    case 0xE6:
    case 0xB5:
    case 'u':
    case 'U':
        return -6;
    default:
        return 0;
    }
}

std::optional<TUmrechnung> Umrechnung(const TMessart& von, const TMessart& nach) {
    if (von.Messgroesse != nach.Messgroesse) {
        return std::nullopt;
    }
    if (nach.Messgroesse == Leitfaehigkeit) {
        return TUmrechnung{LeitwertZehnerpotenz(von.Einheit) - LeitwertZehnerpotenz(nach.Einheit)};
    }
    if (von.Einheit != nach.Einheit) {
        return std::nullopt;
    }
    return TUmrechnung{};
}
