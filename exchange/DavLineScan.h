// DavLineScan: what the reader's tokenizer will make of each line of a run of bytes (where its
// key lies and how many tokens it has), found 64 bytes at a time from bit masks of the few
// bytes that matter: blanks and tabs, line breaks, double quotes and equals signs. In UTF-8
// and in the legacy code page these ASCII bytes never occur inside a longer character, so the
// bytes can be scanned before they are decoded.
#pragma once

#include <bit>  // for std::countr_zero
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace DavLineScan {

// The bytes of 64 that end a token or a line, one bit each (bit k: the k-th byte).
struct TMasks {
    uint64_t separators = 0;  // blank, tab
    uint64_t breaks = 0;      // CR, LF
    uint64_t quotes = 0;      // double quote, equals sign
};

// The masks of the 64 bytes at p.
TMasks MasksOf(const char* p);

// The masks of the count (below 64) bytes at p; the bits from count on are 0.
TMasks MasksOfTail(const char* p, size_t count);

// The number of bits set, without the popcount instruction that the baseline x86-64 lacks.
constexpr int BitCount(uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ull;
    x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((x * 0x0101010101010101ull) >> 56);
}

// One line as the tokenizer reads it: blanks and tabs separate tokens, a run of them once; a
// blank after the last value starts an empty token that counts; a double quote or an equals
// sign makes the rest of the line part of the current token.
struct TLineShape {
    size_t keyStart = 0;  // token 0: [keyStart, keyEnd) of the bytes, empty when they are equal
    size_t keyEnd = 0;
    int count = 1;          // the number of tokens
    bool verbatim = false;  // a double quote or an equals sign is on the line
};

// Calls f(shape) for every line of bytes, which ends with a line break: a CR LF pair is a
// line and an empty one.
template <class F>
void ForEachLine(std::string_view bytes, F&& f) {
    constexpr uint64_t kAll = ~uint64_t{0};
    const char* const p = bytes.data();
    const size_t n = bytes.size();
    enum TPhase { kLead, kKey, kRest };
    TPhase phase = kLead;
    TLineShape shape;
    // Bit 0: the byte before the chunk is a blank or tab. A line starts as if after one, so
    // that its leading blanks start no token.
    uint64_t before = 1;
    for (size_t base = 0; base < n; base += 64) {
        const size_t limit = n - base < 64 ? n - base : 64;
        const TMasks m = limit == 64 ? MasksOf(p + base) : MasksOfTail(p + base, limit);
        size_t c = 0;  // the first byte of the chunk not yet read
        while (c < limit) {
            const uint64_t fromC = kAll << c;
            const uint64_t breaks = m.breaks & fromC;
            const size_t stop = breaks != 0 ? static_cast<size_t>(std::countr_zero(breaks)) : 64;
            const uint64_t segment = stop == 64 ? fromC : fromC & ((uint64_t{1} << stop) - 1);
            if (phase == kLead) {
                if (const uint64_t keyBytes = ~m.separators & segment; keyBytes != 0) {
                    shape.keyStart = base + static_cast<size_t>(std::countr_zero(keyBytes));
                    phase = kKey;
                }
            }
            if (phase == kKey) {
                const size_t from = shape.keyStart >= base ? shape.keyStart - base : c;
                const uint64_t ends = (m.separators | m.quotes) & segment & (kAll << from);
                if (ends != 0) {
                    shape.keyEnd = base + static_cast<size_t>(std::countr_zero(ends));
                    phase = kRest;
                } else if (stop < 64) {
                    shape.keyEnd = base + stop;
                    phase = kRest;
                }
            }
            if (!shape.verbatim) {
                uint64_t separators = m.separators & segment;
                if (const uint64_t quotes = m.quotes & segment; quotes != 0) {
                    separators &= (quotes & (0 - quotes)) - 1;  // those before the first
                    shape.verbatim = true;
                }
                shape.count += BitCount(separators & ~((separators << 1) | (before << c)));
                before = separators >> 63;
            }
            if (stop == 64) {
                break;  // the line goes on in the next chunk
            }
            if (phase == kLead) {
                shape.keyStart = shape.keyEnd = base + stop;
            }
            f(static_cast<const TLineShape&>(shape));
            phase = kLead;
            shape = TLineShape();
            before = 1;
            c = stop + 1;
        }
    }
}

}  // namespace DavLineScan
