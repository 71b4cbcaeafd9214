// DavGaibuReserve: sizes the entity lists for a host file before it is read, from a quick count
// of its lines, so that a large file fills each list in place instead of copying it at every
// doubling (and leaving the old copies to the allocator).
#include <algorithm>  // for std::min
#include <array>
#include <bit>  // for std::popcount
#include <cstddef>
#include <cstdint>
#include <cstring>  // for std::memcpy
#include <memory>
#include <string>
#include <string_view>
#include <utility>  // for std::pair
#include <vector>

#include "exchange/DavGaibuReader.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "util/LineBreaks.h"
#include "util/Platform.h"
#include "util/WordScan.h"

namespace DavReader {

namespace {

// Token 0 is compared with the grammar's keys, which are short ASCII words; a longer key is
// cut to this many bytes, enough for every prefix and exact key of the grammar.
constexpr size_t kKeyBytes = 32;
// Tokens are counted only as far as any row of the grammar looks.
constexpr int kCountedTokens = 400;

// What a byte is to the tokenizer.
enum TByte : unsigned char { kOrdinary, kSeparator, kBreak, kVerbatim };

constexpr std::array<TByte, 256> MakeByteClasses() {
    std::array<TByte, 256> c{};
    c[' '] = c['\t'] = kSeparator;
    c['\r'] = c['\n'] = kBreak;
    c['"'] = c['='] = kVerbatim;
    return c;
}
constexpr std::array<TByte, 256> kByteClass = MakeByteClasses();

TByte ClassOf(char c) {
    return kByteClass[static_cast<unsigned char>(c)];
}

// The expected length of each list, by kind code, and of the drawing order.
struct TCounts {
    std::array<int, DavKinds::kCount + 1> kind{};
    int entities = 0;
    // A dimension is pending: its line is not an entity, its text makes a dimension.
    bool dimension = false;

    void Add(int code) {
        ++kind[static_cast<size_t>(code)];
        ++entities;
        dimension = false;
    }

    // The entity that the row's handler makes of a line of count tokens, if any.
    void Take(const TRowChoice& row, int count) {
        const THandler h = row.handler;
        if (h == nullptr) {
            return;
        }
        if (h == &Line) {
            if (!dimension) {
                ++kind[kKindLine];
                ++entities;
            }
        } else if (h == &Text) {
            Add(dimension && row.arg == DavKeys::kDimensionTextKind ? kKindDim : kKindText);
        } else if (h == &Solid) {
            // Corners that coincide make a smaller solid; those few grow their list as usual.
            Add(count == 5 ? kKindSolid2 : count == 7 ? kKindSolid3 : kKindSolid4);
        } else if (h == &DimensionStart) {
            dimension = true;
        } else if (h == &PolylineStart || h == &GroupEnd) {
            dimension = false;
        } else {
            constexpr std::pair<THandler, int> kOthers[] = {
                {&Circle, kKindCircle}, {&Arc, kKindArc},       {&Point, kKindPoint},
                {&Marker, kKindMark},   {&Block, kKindBlock},   {&SolidC, kKindSolidC},
                {&SolidE, kKindSolidE}, {&SolidO, kKindSolidO}, {&SolidG, kKindSolidG},
            };
            for (const auto& [handler, code] : kOthers) {
                if (h == handler) {
                    Add(code);
                    break;
                }
            }
        }
    }
};

// The bytes among the eight at p that are one of two values, one bit per byte (bit k: p[k]).
unsigned BytesEqual(const char* p, unsigned a, unsigned b) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return WordScan::MarkedBytes(WordScan::MarksEqualExact<char>(word, a) |
                                 WordScan::MarksEqualExact<char>(word, b));
}

// The number of bits set in each byte value: a table, as the baseline x86-64 has no popcount
// instruction and the library call for it costs more than the whole test.
constexpr std::array<unsigned char, 256> MakeBitCounts() {
    std::array<unsigned char, 256> counts{};
    for (unsigned v = 0; v < 256; ++v) {
        counts[v] = static_cast<unsigned char>(std::popcount(v));
    }
    return counts;
}
constexpr std::array<unsigned char, 256> kBitCounts = MakeBitCounts();

// The runs of blanks and tabs that start in a word of eight bytes: a blank or tab whose
// previous byte (before, for the first) is not one.
int RunStarts(unsigned separators, unsigned before) {
    return kBitCounts[separators & ~((separators << 1) | before) & 0xFFu];
}

// The tokens that text[i, end) adds after a line's key: one for every run of blanks and tabs
// before the first double quote or equals sign. verbatim receives whether there is one. A
// run is counted where a blank or tab follows another byte, eight bytes at a time.
int TokensAfterKey(std::string_view text, size_t i, size_t end, bool& verbatim) {
    int runs = 0;
    unsigned before = 0;  // bit 0: the byte before i is a blank or tab
    for (; i + 8 <= end; i += 8) {
        unsigned separators = BytesEqual(text.data() + i, ' ', '\t');
        const unsigned quotes = BytesEqual(text.data() + i, '"', '=');
        if (quotes != 0) {
            separators &= (quotes & (0u - quotes)) - 1;  // those before the first
            verbatim = true;
            return runs + RunStarts(separators, before);
        }
        runs += RunStarts(separators, before);
        before = separators >> 7;
    }
    for (; i < end; ++i) {
        const TByte c = ClassOf(text[i]);
        if (c == kVerbatim) {
            verbatim = true;
            break;
        }
        const unsigned separator = c == kSeparator ? 1u : 0u;
        runs += static_cast<int>(separator & ~before);
        before = separator;
    }
    return runs;
}

// Reads the line that starts at text[i] by the rules of the tokenizer on its bytes and counts
// the entity it makes: blanks and tabs separate tokens, a double quote or an equals sign makes
// the rest of the line one token, a blank after the last value adds an empty token. In the
// legacy code page and in UTF-8 these ASCII bytes never occur inside a character, so the count
// is the reader's own for every well-formed line. Returns the index of the line break that
// ends the line, or the text's length; a line that reaches the end of a text that is not the
// whole rest of the file (whole false) is not counted, as it goes on in the next piece.
size_t CountLine(std::string_view text, size_t i, bool whole, TCounts& counts, TRowCache& rows) {
    const size_t n = text.size();
    while (i < n && ClassOf(text[i]) == kSeparator) {
        ++i;
    }
    const size_t keyStart = i;
    while (i < n && ClassOf(text[i]) == kOrdinary) {
        ++i;
    }
    const size_t keyEnd = i;
    const size_t end = LineBreaks::FindLineBreak(text.data(), keyEnd, n);
    if (end == n && !whole) {
        return end;
    }
    bool verbatim = false;
    const int count = 1 + TokensAfterKey(text, keyEnd, end, verbatim);
    const bool plainKey = !(verbatim && count == 1);
    if (keyEnd == keyStart && (count == 1 || !plainKey)) {
        return end;  // an empty line, a line of blanks, or one that starts with a double quote
    }
    std::array<char16_t, kKeyBytes> key{};
    const size_t keyLength = std::min(keyEnd - keyStart, kKeyBytes);
    for (size_t k = 0; k < keyLength; ++k) {
        key[k] = static_cast<unsigned char>(text[keyStart + k]);
    }
    const TRowChoice row = rows.Choose(std::u16string_view(key.data(), keyLength),
                                       std::min(count, kCountedTokens), plainKey);
    counts.Take(row, count);
    return end;
}

// Lists of at least this many bytes are filled on large pages where the system offers them.
constexpr size_t kLargeList = size_t{2} << 20;

template <class T>
void ReserveList(std::vector<T>& list, size_t length) {
    if (list.capacity() >= length) {
        return;
    }
    list.reserve(length);
    if (list.capacity() * sizeof(T) >= kLargeList) {
        Platform::AdviseLargeBuffer(list.data(), list.capacity() * sizeof(T));
    }
}

// The length a list reaches with count records under the block rule: whole blocks of 1000.
size_t BlockLength(int count) {
    constexpr int kBlock = 1000;
    return static_cast<size_t>((count + kBlock - 1) / kBlock) * kBlock;
}

}  // namespace

struct TListReserver::TState {
    TCounts counts;
    TRowCache rows;
    // The start of a line that goes on in the next block.
    std::string carry;
    bool started = false;
    // A UTF-16 file: its bytes are not ASCII words, and its lists grow as they are filled.
    bool skip = false;
};

TListReserver::TListReserver() : state_(std::make_unique<TState>()) {}

TListReserver::~TListReserver() = default;

void TListReserver::Feed(std::string_view block) {
    TState& s = *state_;
    if (!s.started) {
        s.started = true;
        s.skip = block.starts_with("\xFF\xFE") || block.starts_with("\xFE\xFF");
        if (block.starts_with("\xEF\xBB\xBF")) {
            block.remove_prefix(3);
        }
    }
    if (s.skip) {
        return;
    }
    const size_t n = block.size();
    size_t i = 0;
    if (!s.carry.empty()) {
        const size_t end = LineBreaks::FindLineBreak(block.data(), 0, n);
        s.carry.append(block.substr(0, end));
        if (end == n) {
            return;
        }
        CountLine(s.carry, 0, true, s.counts, s.rows);
        s.carry.clear();
        i = end + 1;
    }
    while (i < n) {
        const size_t start = i;
        i = CountLine(block, i, false, s.counts, s.rows);
        if (i == n) {
            s.carry.assign(block.substr(start));
            break;
        }
        ++i;
    }
}

void TListReserver::Reserve(TJGdata& jg) {
    TState& s = *state_;
    if (!s.carry.empty()) {
        CountLine(s.carry, 0, true, s.counts, s.rows);
        std::string().swap(s.carry);
    }
    if (s.skip || !s.started) {
        return;
    }
    const TCounts& counts = s.counts;
    DavKinds::ForEachKind([&](auto kind) {
        using K = decltype(kind);
        ReserveList(K::ListOf(jg), BlockLength(K::CountOf(jg) + counts.kind[K::kCode]));
    });
    ReserveList(jg.EntNo, BlockLength(jg.EntN + counts.entities));
    s.counts = TCounts{};
}

}  // namespace DavReader
