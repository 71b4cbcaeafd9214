// DavGaibuReserve: sizes the entity lists for a host file before it is read, from a quick count
// of its lines, so that a large file fills each list in place instead of copying it at every
// doubling (and leaving the old copies to the allocator).
#include <algorithm>  // for std::min
#include <array>
#include <cstddef>
#include <cstring>  // for std::memchr
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

constexpr bool IsSeparator(char c) {
    return c == ' ' || c == '\t';
}

constexpr bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

constexpr bool EndsRun(char c) {
    return IsSeparator(c) || IsLineBreak(c) || c == '"' || c == '=';
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
};

// Counts one line by the rules of the tokenizer on its bytes: blanks and tabs separate tokens,
// a double quote or an equals sign ends the count, a blank after the last value adds an empty
// token. In a legacy code page and in UTF-8 these ASCII bytes never occur inside a character,
// so the count is the reader's own for every well-formed line.
void CountLine(std::string_view line, TCounts& counts) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p != end && IsSeparator(*p)) {
        ++p;
    }
    if (p == end) {
        return;
    }
    const char* const keyStart = p;
    while (p != end && !EndsRun(*p)) {
        ++p;
    }
    const bool plainKey = p == end || IsSeparator(*p);
    if (!plainKey && p == keyStart) {
        return;  // a lone double quote or a line that starts with one
    }
    std::array<char16_t, kKeyBytes> key{};
    const size_t keyLength = std::min(static_cast<size_t>(p - keyStart), kKeyBytes);
    for (size_t i = 0; i < keyLength; ++i) {
        key[i] = static_cast<unsigned char>(keyStart[i]);
    }
    int count = 1;
    while (plainKey && p != end && count < kCountedTokens) {
        // p is at a blank or tab that ends a run: a further token, empty when nothing follows.
        ++count;
        while (p != end && IsSeparator(*p)) {
            ++p;
        }
        while (p != end && !EndsRun(*p)) {
            ++p;
        }
        if (p != end && !IsSeparator(*p)) {
            break;  // a double quote or an equals sign: the rest of the line is this token
        }
    }
    const TRowChoice row = ChooseRow(std::u16string_view(key.data(), keyLength), count, plainKey);
    const THandler h = row.handler;
    if (h == nullptr) {
        return;
    }
    if (h == &Line) {
        if (!counts.dimension) {
            ++counts.kind[kKindLine];
            ++counts.entities;
        }
    } else if (h == &Text) {
        counts.Add(counts.dimension && row.arg == DavKeys::kDimensionTextKind ? kKindDim
                                                                              : kKindText);
    } else if (h == &Solid) {
        // Corners that coincide make a smaller solid; those few grow their list as usual.
        counts.Add(count == 5 ? kKindSolid2 : count == 7 ? kKindSolid3 : kKindSolid4);
    } else if (h == &DimensionStart) {
        counts.dimension = true;
    } else if (h == &PolylineStart || h == &GroupEnd) {
        counts.dimension = false;
    } else {
        constexpr std::pair<THandler, int> kOthers[] = {
            {&Circle, kKindCircle}, {&Arc, kKindArc},       {&Point, kKindPoint},
            {&Marker, kKindMark},   {&Block, kKindBlock},   {&SolidC, kKindSolidC},
            {&SolidE, kKindSolidE}, {&SolidO, kKindSolidO}, {&SolidG, kKindSolidG},
        };
        for (const auto& [handler, code] : kOthers) {
            if (h == handler) {
                counts.Add(code);
                break;
            }
        }
    }
}

// Calls f(line) for every line of the pieces, a line that runs on from one piece into the next
// given whole.
template <class F>
void ForEachRawLine(const std::vector<std::string_view>& pieces, F&& f) {
    std::string carry;
    for (std::string_view piece : pieces) {
        while (!piece.empty()) {
            const auto* lf =
                static_cast<const char*>(std::memchr(piece.data(), '\n', piece.size()));
            const auto* cr = static_cast<const char*>(
                std::memchr(piece.data(), '\r', lf != nullptr ? lf - piece.data() : piece.size()));
            const char* stop = cr != nullptr ? cr : lf;
            if (stop == nullptr) {
                carry.append(piece);
                break;
            }
            const auto length = static_cast<size_t>(stop - piece.data());
            if (carry.empty()) {
                f(piece.substr(0, length));
            } else {
                carry.append(piece.substr(0, length));
                f(std::string_view(carry));
                carry.clear();
            }
            piece.remove_prefix(length + 1);
        }
    }
    if (!carry.empty()) {
        f(std::string_view(carry));
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
    ForEachRawLine(text, [&counts](std::string_view line) { CountLine(line, counts); });
    DavKinds::ForEachKind([&](auto kind) {
        using K = decltype(kind);
        Reserve(K::ListOf(jg), BlockLength(K::CountOf(jg) + counts.kind[K::kCode]));
    });
    Reserve(jg.EntNo, BlockLength(jg.EntN + counts.entities));
}

}  // namespace DavReader
