// DavGaibuReader: the pieces of the exchange-file reader shared by the dispatcher and the
// handlers of the attribute, control and entity lines.
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

// A line handler; arg is the row's own value (the attribute bit, the text kind).
using THandler = void (*)(TJGdata& jg, const TTokens& t, int arg);

// The row of the reader's grammar that takes a line with this key (token 0) and token count;
// plainKey tells that token 0 is one run of ordinary characters. No handler when no row does.
struct TRowChoice {
    THandler handler = nullptr;
    int arg = 0;
    explicit operator bool() const { return handler != nullptr; }
};
TRowChoice ChooseRow(std::u16string_view key, int count, bool plainKey);

// ChooseRow with a memory of the short keys it has met: the lines of a file use a handful of
// keys with a handful of token counts, so almost every line finds its row in one comparison
// instead of a walk down the grammar. Keys of more than four units are always looked up.
class TRowCache {
public:
    TRowChoice Choose(std::u16string_view key, int count, bool plainKey) {
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
        return e.choice;
    }

private:
    static constexpr int kIndexBits = 8;
    struct TEntry {
        uint64_t units = 0;
        uint64_t shape = 0;  // never 0 once filled: the key length is at least 1
        TRowChoice choice;
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

private:
    struct TState;
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
