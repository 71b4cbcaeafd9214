// DavGaibuReader: the reader's grammar and the pieces that its parse (DavGaibuParse.cpp), its
// line handlers (DavGaibuEntityLines.cpp) and its counting pass (DavGaibuReserve.cpp) share:
// the token rules, the rows of the grammar with the kind of entity each makes, the row cache,
// and the counting pass. Internal to the reader (DavReader.h is its face); not installed.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>  // for std::memcpy
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavGaibu.h"
#include "exchange/DavReadSink.h"

class TFileBlocks;

namespace DavReader {

// The tokens of one line, token 0 being the key. Reading past the last token gives the
// empty text, so a short line reads as 0 and never indexes out of range.
struct TTokens {
    const std::u16string_view* tok = nullptr;
    int n = 0;

    std::u16string_view operator[](int k) const {
        return k >= 0 && k < n ? tok[k] : std::u16string_view();
    }
    int Count() const { return n; }
};

// Tells the reader's observer, if there is one, that the current line was skipped or mended.
inline void Report(const TJGdata& jg, std::string_view reason) {
    if (TDavReadSink* sink = jg.ReadSink()) {
        sink->Finding(reason);
    }
}

// The token rules that the parse and the counting pass share.
// A line keeps at most this many tokens; a token that would come after the last one is
// dropped together with the rest of the line.
constexpr int kMaxTokens = 400;
// An empty line, a line of blanks or a lone double quote: one token, and that one empty.
constexpr bool IsIgnoredLine(bool keyEmpty, int count) {
    return count == 1 && keyEmpty;
}
// Token 0 is one run of ordinary characters unless the double quote or equals sign that makes
// the rest of the line verbatim stands in it, which leaves the line that one token.
constexpr bool IsPlainKey(bool verbatim, int count) {
    return !(verbatim && count == 1);
}
// The counting pass compares at most this many units of token 0 with the grammar's keys; every
// key of the grammar is shorter (checked beside the grammar).
constexpr size_t kCountedKeyUnits = 32;

// A line handler; arg is the row's own value (the attribute bit, the text kind).
using THandler = void (*)(TJGdata& jg, const TTokens& t, int arg);

// How token 0 is compared with a row's key.
enum class TMatch : unsigned char { Exact, Prefix, Contains, AnyKey };
// What the token count must be for the row to take the line.
enum class TCount : unsigned char { Any, AtLeast, Exactly };
// What a row's line does to a pending dimension: one that a "msg" line opened and whose text
// has not come yet.
enum class TPending : unsigned char {
    Keeps,      // nothing: header, layer, attribute and picked-point lines
    Opens,      // "msg": a dimension is pending from here on
    Ends,       // ends it: "pl", "#" and every entity line but the two below
    TakesLine,  // a plain line: while a dimension is pending, its line, not an entity
    TakesText,  // "cs": while a dimension is pending, its text, which makes the dimension
};

// One row of the reader's grammar (kRows, DavGaibuParse.cpp): the lines it takes, the handler
// that fills the model from them, and what they make, which the counting pass reads.
struct TRow {
    std::u16string_view key;
    TMatch match;
    TCount rule;
    int n;
    THandler handler;
    int makes = 0;  // the code of the kind (DavKinds) of the entity its line makes, 0: none
    TPending pending = TPending::Keeps;
    int arg = 0;
};

// The row of the reader's grammar that takes a line with this key (token 0) and token count;
// plainKey tells that token 0 is one run of ordinary characters. nullptr when no row does.
const TRow* ChooseRow(std::u16string_view key, int count, bool plainKey);

// ChooseRow with a memory of the short keys it has met: the lines of a file use a handful of
// keys with a handful of token counts, so almost every line finds its row in one comparison
// instead of a walk down the grammar. Keys of more than four units are always looked up.
class TRowCache {
public:
    const TRow* Choose(std::u16string_view key, int count, bool plainKey) {
        constexpr size_t kMaxUnits = sizeof(uint64_t) / sizeof(char16_t);
        if (key.empty() || key.size() > kMaxUnits || count < 0) {
            return ChooseRow(key, count, plainKey);
        }
        uint64_t units = 0;
        std::memcpy(&units, key.data(), key.size() * sizeof(char16_t));
        const uint64_t shape = static_cast<uint64_t>(count) << 4 | key.size() << 1 |
                               (plainKey ? 1u : 0u);
        constexpr uint64_t kMix = 0x9E3779B97F4A7C15ull;  // spreads the bits over the index
        TEntry& e = entries_[((units ^ (shape << 40) ^ shape) * kMix) >> (64 - kIndexBits)];
        if (e.units != units || e.shape != shape) {
            e = TEntry{units, shape, ChooseRow(key, count, plainKey)};
        }
        return e.row;
    }

private:
    static constexpr int kIndexBits = 8;
    struct TEntry {
        uint64_t units = 0;
        uint64_t shape = 0;  // never 0 once filled: the key length is at least 1
        const TRow* row = nullptr;
    };
    std::array<TEntry, size_t{1} << kIndexBits> entries_{};
};

// Counts, a block of a host file's bytes at a time, the entities that its lines will add,
// then reserves room for them in every entity list and in the drawing order, so that reading
// fills the lists in place. Only the capacity changes; a UTF-16 file is left to the lists' own
// growth. On the way it holds the file to the input limits (DavLimits): a file larger than
// kMaxFileBytes or a line longer than kMaxLineBytes refuses it, and what follows is not read.
class TListReserver {
public:
    TListReserver();
    ~TListReserver();
    TListReserver(const TListReserver&) = delete;
    TListReserver& operator=(const TListReserver&) = delete;

    // The next block of the file's bytes, in file order; of any size.
    void Feed(std::string_view block);
    // The limit the bytes fed so far broke, if any.
    TDavOpenFault Refusal() const;
    // Files of at least this many bytes are counted in two halves at once.
    static constexpr uintmax_t kHalvesFrom = uintmax_t{8} << 20;
    // Feeds a whole file, open at its first byte in file. A file of halvesFrom bytes or more
    // is read in two halves at once where the machine has a second core: the second half
    // through a reader of its own, on a thread of its own. False when a read fails or a limit
    // refuses the file (Refusal), and the file has then not been read through.
    bool FeedFile(const std::u16string& fileName, TFileBlocks& file,
                  uintmax_t halvesFrom = kHalvesFrom);
    // Counts the last line, then reserves room in jg's lists.
    void Reserve(TJGdata& jg);
    // What the lines counted so far make, by the grammar's rows: the entities of a kind code,
    // and all of them. Reserve sizes the lists by these counts and then starts them afresh.
    int Counted(int kindCode) const;
    int CountedEntities() const;

private:
    struct TState;
    // FeedFile for a file counted in two halves at once.
    bool FeedHalves(const std::u16string& fileName, TFileBlocks& file, uintmax_t size);
    std::unique_ptr<TState> state_;
};

// Layer and attribute lines.
void LayerGroupName(TJGdata& jg, const TTokens& t, int arg);
void LayerName(TJGdata& jg, const TTokens& t, int arg);
void LayerGroup(TJGdata& jg, const TTokens& t, int arg);
void Layer(TJGdata& jg, const TTokens& t, int arg);
void Colour(TJGdata& jg, const TTokens& t, int arg);
void LineType(TJGdata& jg, const TTokens& t, int arg);
void LineWidth(TJGdata& jg, const TTokens& t, int arg);
void Font(TJGdata& jg, const TTokens& t, int arg);
void TextType(TJGdata& jg, const TTokens& t, int arg);
void BasePoint(TJGdata& jg, const TTokens& t, int arg);
void AttrMark(TJGdata& jg, const TTokens& t, int arg);
void PointColour(TJGdata& jg, const TTokens& t, int arg);

// Control lines.
void PolylineStart(TJGdata& jg, const TTokens& t, int arg);
void DimensionStart(TJGdata& jg, const TTokens& t, int arg);
void GroupEnd(TJGdata& jg, const TTokens& t, int arg);
void AttachPoint(TJGdata& jg, const TTokens& t, int arg);

// Entity lines.
void Circle(TJGdata& jg, const TTokens& t, int arg);
void Arc(TJGdata& jg, const TTokens& t, int arg);
void Text(TJGdata& jg, const TTokens& t, int arg);
void Point(TJGdata& jg, const TTokens& t, int arg);
void Marker(TJGdata& jg, const TTokens& t, int arg);
void Block(TJGdata& jg, const TTokens& t, int arg);
void Solid(TJGdata& jg, const TTokens& t, int arg);
void SolidC(TJGdata& jg, const TTokens& t, int arg);
void SolidE(TJGdata& jg, const TTokens& t, int arg);
void SolidO(TJGdata& jg, const TTokens& t, int arg);
void SolidG(TJGdata& jg, const TTokens& t, int arg);
void Line(TJGdata& jg, const TTokens& t, int arg);

}  // namespace DavReader
