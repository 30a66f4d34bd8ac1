// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <cstddef>
#include <initializer_list>
#include <type_traits>

// A set over the first `Count` enumerators of `E`, stored as a bit set in `Storage`:
// bit n stands for the enumerator with the value n. Values outside 0 … Count-1 are never members.
template <typename E, std::size_t Count, typename Storage>
class TComSet {
    static_assert(std::is_unsigned_v<Storage>);
    static_assert(Count <= sizeof(Storage) * 8);

public:
    using value_type = E;
    using storage_type = Storage;
    static constexpr std::size_t Size = Count;

    constexpr TComSet() noexcept = default;
    constexpr TComSet(std::initializer_list<E> elements) noexcept {
        for (E element : elements) {
            Include(element);
        }
    }

    // Every enumerator of the type.
    static constexpr TComSet All() noexcept { return FromBits(FullMask()); }

    // The set whose members are the bits of `bits`; bits at or above `Count` are dropped.
    static constexpr TComSet FromBits(Storage bits) noexcept {
        TComSet set;
        set.bits_ = static_cast<Storage>(bits & FullMask());
        return set;
    }

    constexpr Storage Bits() const noexcept { return bits_; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }

    constexpr bool Contains(E element) const noexcept {
        return InRange(element) && (bits_ & Bit(element)) != 0;
    }

    constexpr TComSet& Include(E element) noexcept {
        if (InRange(element)) {
            bits_ = static_cast<Storage>(bits_ | Bit(element));
        }
        return *this;
    }

    constexpr TComSet& Exclude(E element) noexcept {
        if (InRange(element)) {
            bits_ = static_cast<Storage>(bits_ & ~Bit(element));
        }
        return *this;
    }

    friend constexpr TComSet operator|(TComSet a, TComSet b) noexcept {
        return FromBits(static_cast<Storage>(a.bits_ | b.bits_));
    }
    friend constexpr TComSet operator&(TComSet a, TComSet b) noexcept {
        return FromBits(static_cast<Storage>(a.bits_ & b.bits_));
    }
    friend constexpr TComSet operator-(TComSet a, TComSet b) noexcept {
        return FromBits(static_cast<Storage>(a.bits_ & ~b.bits_));
    }
    friend constexpr bool operator==(TComSet a, TComSet b) noexcept = default;

private:
    static constexpr Storage FullMask() noexcept {
        return Count == sizeof(Storage) * 8 ? static_cast<Storage>(~Storage{0})
                                            : static_cast<Storage>((1ULL << Count) - 1);
    }
    static constexpr bool InRange(E element) noexcept {
        const auto value = static_cast<long long>(element);
        return value >= 0 && value < static_cast<long long>(Count);
    }
    static constexpr Storage Bit(E element) noexcept {
        return static_cast<Storage>(1ULL << static_cast<unsigned>(element));
    }

    Storage bits_ = 0;
};
