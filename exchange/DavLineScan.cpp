// DavLineScan: the bit masks of 64 bytes. On x86-64 sixteen bytes are compared at once with
// the SSE2 instructions that every such processor has; elsewhere eight at a time in a 64-bit
// word.
#include "exchange/DavLineScan.h"

#include <cstring>  // for std::memcpy

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define R407_LINE_SCAN_SSE2 1
#else
#include "util/WordScan.h"
#endif

namespace DavLineScan {

namespace {

#ifdef R407_LINE_SCAN_SSE2

// The masks of the 16 bytes at p, in bits 0..15.
void Masks16(const char* p, uint64_t& separators, uint64_t& breaks, uint64_t& quotes) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const auto is = [v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    const auto bits = [](__m128i m) {
        return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(m)));
    };
    separators = bits(_mm_or_si128(is(' '), is('\t')));
    breaks = bits(_mm_or_si128(is('\r'), is('\n')));
    quotes = bits(_mm_or_si128(is('"'), is('=')));
}

#else

// The bytes of a word that are one of two values, in bits 0..7.
uint64_t Either(uint64_t word, unsigned a, unsigned b) {
    return WordScan::MarkedBytes(WordScan::MarksEqualExact<char>(word, a) |
                                 WordScan::MarksEqualExact<char>(word, b));
}

void Masks16(const char* p, uint64_t& separators, uint64_t& breaks, uint64_t& quotes) {
    separators = breaks = quotes = 0;
    for (int half = 0; half < 2; ++half) {
        uint64_t word;
        std::memcpy(&word, p + 8 * half, sizeof word);
        const int shift = 8 * half;
        separators |= Either(word, ' ', '\t') << shift;
        breaks |= Either(word, '\r', '\n') << shift;
        quotes |= Either(word, '"', '=') << shift;
    }
}

#endif

}  // namespace

TMasks MasksOf(const char* p) {
    TMasks m;
    for (int k = 0; k < 4; ++k) {
        uint64_t separators, breaks, quotes;
        Masks16(p + 16 * k, separators, breaks, quotes);
        m.separators |= separators << (16 * k);
        m.breaks |= breaks << (16 * k);
        m.quotes |= quotes << (16 * k);
    }
    return m;
}

TMasks MasksOfTail(const char* p, size_t count) {
    // A copy padded with ordinary bytes, whose bits are cleared below anyway.
    char chunk[64];
    std::memset(chunk, 'x', sizeof chunk);
    std::memcpy(chunk, p, count);
    TMasks m = MasksOf(chunk);
    const uint64_t inside = count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    m.separators &= inside;
    m.breaks &= inside;
    m.quotes &= inside;
    return m;
}

}  // namespace DavLineScan
