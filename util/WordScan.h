// WordScan: finding the first unit of a kind in a long text a 64-bit word at a time.
//
// A word holds eight bytes or four UTF-16 units (its lanes). A mark is the high bit of a lane.
// A marking function marks at least every lane of the kind sought; the first lane it marks is
// always one of them, later ones may be marked by a borrow only, so the scan checks each
// marked lane before it takes it.
#pragma once

#include <bit>  // for std::countr_zero and std::endian
#include <cstddef>
#include <cstdint>
#include <cstring>  // for std::memcpy

namespace WordScan {

template <class Unit>
struct TLanes {
    static_assert(sizeof(Unit) == 1 || sizeof(Unit) == 2, "bytes or UTF-16 units");
    static constexpr int kBits = 8 * static_cast<int>(sizeof(Unit));
    static constexpr size_t kPerWord = sizeof(uint64_t) / sizeof(Unit);
    // Each lane 1, and each lane's high bit.
    static constexpr uint64_t kOnes =
        sizeof(Unit) == 1 ? 0x0101010101010101ull : 0x0001000100010001ull;
    static constexpr uint64_t kHighBits = kOnes << (kBits - 1);
};

// Marks the lanes below limit (limit at most the lanes' high bit).
template <class Unit>
constexpr uint64_t MarksBelow(uint64_t word, unsigned limit) {
    using L = TLanes<Unit>;
    return (word - limit * L::kOnes) & ~word & L::kHighBits;
}

// Marks the lanes equal to value.
template <class Unit>
constexpr uint64_t MarksEqual(uint64_t word, unsigned value) {
    using L = TLanes<Unit>;
    const uint64_t x = word ^ (value * L::kOnes);
    return (x - L::kOnes) & ~x & L::kHighBits;
}

// Marks the lanes whose own high bit is set.
template <class Unit>
constexpr uint64_t MarksHigh(uint64_t word) {
    return word & TLanes<Unit>::kHighBits;
}

// Marks exactly the lanes equal to value: no borrow reaches a neighbouring lane, so every
// mark can be counted, not only the first.
template <class Unit>
constexpr uint64_t MarksEqualExact(uint64_t word, unsigned value) {
    using L = TLanes<Unit>;
    constexpr uint64_t kLow = ~L::kHighBits;
    const uint64_t x = word ^ (value * L::kOnes);
    return ~(((x & kLow) + kLow) | x) & L::kHighBits;
}

// The marks of a word of eight bytes as one bit per byte, in the order of the bytes in
// memory: bit k for the byte at offset k. Each byte's mark moves by a multiplication to bit
// 56 + k, where no two products meet.
constexpr unsigned MarkedBytes(uint64_t marks) {
    constexpr uint64_t kGather = 0x0102040810204080ull;
    const uint64_t bits = ((marks >> 7) * kGather) >> 56;
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<unsigned>(bits);
    } else {
        // The word's first byte is its most significant: reverse the eight bits.
        unsigned r = 0;
        for (int k = 0; k < 8; ++k) {
            r |= ((static_cast<unsigned>(bits) >> k) & 1u) << (7 - k);
        }
        return r;
    }
}

// Index within the word of the first lane marked (marks not 0).
template <class Unit>
constexpr size_t FirstMarked(uint64_t marks) {
    constexpr int kBits = TLanes<Unit>::kBits;
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<size_t>(std::countr_zero(marks) / kBits);
    } else {
        return static_cast<size_t>(std::countl_zero(marks) / kBits);
    }
}

// Index of the first unit of text[i, n) for which is(unit) holds, else n; marks(word) marks
// at least every such lane of a word.
template <class Unit, class TIs, class TMarks>
size_t FindFirst(const Unit* text, size_t i, size_t n, TIs is, TMarks marks) {
    constexpr size_t kPerWord = TLanes<Unit>::kPerWord;
    while (i + kPerWord <= n) {
        uint64_t word;
        std::memcpy(&word, text + i, sizeof word);
        const uint64_t m = marks(word);
        if (m == 0) {
            i += kPerWord;
            continue;
        }
        i += FirstMarked<Unit>(m);
        if (is(text[i])) {
            return i;
        }
        ++i;
    }
    while (i < n && !is(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace WordScan
