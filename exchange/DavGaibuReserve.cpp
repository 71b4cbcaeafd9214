// DavGaibuReserve: sizes the entity lists for a host file before it is read, from a quick count
// of its lines, so that a large file fills each list in place instead of copying it at every
// doubling (and leaving the old copies to the allocator).
#include <algorithm>  // for std::min
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>  // for std::pair
#include <vector>

#include "exchange/DavGaibuReader.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "util/Platform.h"

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

// Reads the line that starts at text[i] by the rules of the tokenizer on its bytes and counts
// the entity it makes: blanks and tabs separate tokens, a double quote or an equals sign makes
// the rest of the line one token, a blank after the last value adds an empty token. In the
// legacy code page and in UTF-8 these ASCII bytes never occur inside a character, so the count
// is the reader's own for every well-formed line. Returns the index of the line break that
// ends the line, or the text's length; a line that reaches the end of a text that is not the
// whole rest of the file (whole false) is not counted, as it goes on in the next piece.
size_t CountLine(std::string_view text, size_t i, bool whole, TCounts& counts) {
    const size_t n = text.size();
    while (i < n && ClassOf(text[i]) == kSeparator) {
        ++i;
    }
    const size_t keyStart = i;
    while (i < n && ClassOf(text[i]) == kOrdinary) {
        ++i;
    }
    const size_t keyEnd = i;
    int count = 1;
    bool verbatim = false;
    while (i < n) {
        const TByte c = ClassOf(text[i]);
        if (c == kBreak) {
            break;
        }
        if (c == kVerbatim) {
            verbatim = true;
            break;
        }
        // A blank or tab ends a run: a further token follows, empty when nothing does.
        ++count;
        while (++i < n && ClassOf(text[i]) == kSeparator) {
        }
        while (i < n && ClassOf(text[i]) == kOrdinary) {
            ++i;
        }
    }
    const bool plainKey = !(verbatim && count == 1);
    if (verbatim) {
        while (i < n && ClassOf(text[i]) != kBreak) {
            ++i;
        }
    }
    if (i == n && !whole) {
        return i;
    }
    if (keyEnd == keyStart && (count == 1 || !plainKey)) {
        return i;  // an empty line, a line of blanks, or one that starts with a double quote
    }
    std::array<char16_t, kKeyBytes> key{};
    const size_t keyLength = std::min(keyEnd - keyStart, kKeyBytes);
    for (size_t k = 0; k < keyLength; ++k) {
        key[k] = static_cast<unsigned char>(text[keyStart + k]);
    }
    const TRowChoice row = ChooseRow(std::u16string_view(key.data(), keyLength),
                                     std::min(count, kCountedTokens), plainKey);
    counts.Take(row, count);
    return i;
}

// Counts every line of the pieces; a line that runs on from one piece into the next is put
// together first.
void CountLines(const std::vector<std::string_view>& pieces, TCounts& counts) {
    std::string carry;
    for (size_t p = 0; p < pieces.size(); ++p) {
        const std::string_view piece = pieces[p];
        const bool last = p + 1 == pieces.size();
        size_t i = 0;
        const size_t n = piece.size();
        if (!carry.empty()) {
            while (i < n && ClassOf(piece[i]) != kBreak) {
                ++i;
            }
            carry.append(piece.substr(0, i));
            if (i == n && !last) {
                continue;
            }
            CountLine(carry, 0, true, counts);
            carry.clear();
        }
        while (i < n) {
            const size_t start = i;
            i = CountLine(piece, i, last, counts);
            if (i == n && !last) {
                carry.assign(piece.substr(start));
                break;
            }
            ++i;
        }
    }
}

// Lists of at least this many bytes are filled on large pages where the system offers them.
constexpr size_t kLargeList = size_t{2} << 20;

template <class T>
void Reserve(std::vector<T>& list, size_t length) {
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

void ReserveLists(TJGdata& jg, const std::vector<std::string_view>& pieces) {
    if (pieces.empty() || pieces.front().size() < 2) {
        return;
    }
    const std::string_view head = pieces.front();
    // A UTF-16 file's bytes are not ASCII words; its lists grow as they are filled.
    if ((head[0] == '\xFF' && head[1] == '\xFE') || (head[0] == '\xFE' && head[1] == '\xFF')) {
        return;
    }
    std::vector<std::string_view> text = pieces;
    if (head.starts_with("\xEF\xBB\xBF")) {
        text.front().remove_prefix(3);
    }
    TCounts counts;
    CountLines(text, counts);
    DavKinds::ForEachKind([&](auto kind) {
        using K = decltype(kind);
        Reserve(K::ListOf(jg), BlockLength(K::CountOf(jg) + counts.kind[K::kCode]));
    });
    Reserve(jg.EntNo, BlockLength(jg.EntN + counts.entities));
}

}  // namespace DavReader
