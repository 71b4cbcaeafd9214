// DavGaibuReserve: sizes the entity lists for a host file before it is read, from a quick count
// of its lines, so that a large file fills each list in place instead of copying it at every
// doubling (and leaving the old copies to the allocator).
#include <algorithm>  // for std::min
#include <array>
#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>  // for std::move
#include <vector>

#include "exchange/DavGaibuReader.h"
#include "exchange/DavKinds.h"
#include "exchange/DavLineScan.h"
#include "util/LineBreaks.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace DavReader {

namespace {

// The expected length of each list, by kind code, and of the drawing order, as the rows of the
// grammar that take the lines tell it.
struct TCounts {
    std::array<int, DavKinds::kCount + 1> kind{};
    int entities = 0;
    // A dimension is pending: its line is not an entity, its text makes a dimension.
    bool dimension = false;
    // Until the first line that starts, ends or takes up a pending dimension (decided), the
    // lines counted as plain lines, and that first line's row: what a dimension pending
    // before these bytes would have changed (Append).
    int leadingLines = 0;
    bool decided = false;
    const TRow* firstRow = nullptr;

    void Add(int code) {
        ++kind[static_cast<size_t>(code)];
        ++entities;
    }

    // The entity that the row makes of its line, if any. A solid's row makes the solid of its
    // corners; corners that coincide make a smaller one, and those few grow their list as usual.
    void Take(const TRow* row) {
        if (row == nullptr || row->pending == TPending::Keeps) {
            return;
        }
        if (row->pending == TPending::TakesLine) {
            if (!decided) {
                ++leadingLines;
            }
            if (!dimension) {
                Add(row->makes);
            }
            return;
        }
        if (!decided) {
            decided = true;
            firstRow = row;
        }
        if (row->pending == TPending::Opens) {
            dimension = true;
            return;
        }
        if (row->makes != 0) {
            Add(dimension && row->pending == TPending::TakesText ? DavKinds::TDim::kCode
                                                                 : row->makes);
        }
        dimension = false;
    }

    // Adds the counts of the bytes that follow these, which were counted as if no dimension
    // were pending where they begin.
    void Append(const TCounts& later) {
        for (size_t k = 0; k < kind.size(); ++k) {
            kind[k] += later.kind[k];
        }
        entities += later.entities;
        if (dimension) {
            kind[DavKinds::TLine::kCode] -= later.leadingLines;
            entities -= later.leadingLines;
            if (later.firstRow != nullptr && later.firstRow->pending == TPending::TakesText) {
                --kind[static_cast<size_t>(later.firstRow->makes)];
                ++kind[DavKinds::TDim::kCode];
            }
        }
        if (later.decided) {
            dimension = later.dimension;
        }
        if (!decided) {
            leadingLines += later.leadingLines;
            decided = later.decided;
            firstRow = later.firstRow;
        }
    }
};

// Counts the entity that a line of the given shape makes, its key read from bytes.
void CountShape(const char* bytes, const DavLineScan::TLineShape& shape, TCounts& counts,
                TRowCache& rows) {
    const int count = shape.count;
    if (IsIgnoredLine(shape.keyEnd == shape.keyStart, count)) {
        return;
    }
    std::array<char16_t, kCountedKeyUnits> key;  // only its first keyLength units are read
    const size_t keyLength = std::min(shape.keyEnd - shape.keyStart, kCountedKeyUnits);
    for (size_t k = 0; k < keyLength; ++k) {
        key[k] = static_cast<unsigned char>(bytes[shape.keyStart + k]);
    }
    counts.Take(rows.Choose(std::u16string_view(key.data(), keyLength), std::min(count, kMaxTokens),
                            IsPlainKey(shape.verbatim, count)));
}

// Counts the entities of lines that end with a line break.
void CountLines(std::string_view lines, TCounts& counts, TRowCache& rows) {
    DavLineScan::ForEachLine(lines, [&](const DavLineScan::TLineShape& shape) {
        CountShape(lines.data(), shape, counts, rows);
    });
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

// A block is taken in parts no longer than the longest line, so that a line that fits in one
// part is short enough, and every longer one is carried from part to part and measured there.
static_assert(DavLimits::kMaxLineBytes % 2 == 0, "parts hold whole UTF-16 units");

struct TListReserver::TState {
    TCounts counts;
    TRowCache rows;
    // The start of a line that goes on in the next block.
    std::string carry;
    bool started = false;
    // A UTF-16 file: its bytes are not ASCII words, and its lists grow as they are filled;
    // only its lines are measured, a unit at a time.
    bool utf16 = false;
    bool bigEndian = false;
    int oddByte = -1;      // the first byte of a unit that the next block completes
    size_t lineBytes = 0;  // of the UTF-16 line under way
    uintmax_t bytes = 0;   // fed so far
    TDavOpenFault refusal = TDavOpenFault::None;

    void Part(std::string_view block);
    void Utf16Part(std::string_view block);
    void Refuse(TDavOpenFault why) {
        refusal = why;
        std::string().swap(carry);
    }
};

void TListReserver::TState::Utf16Part(std::string_view block) {
    size_t k = 0;
    const auto unit = [this](unsigned char first, unsigned char second) {
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    const auto take = [this](unsigned u) {
        if (u == '\r' || u == '\n') {
            lineBytes = 0;
        } else if ((lineBytes += 2) > DavLimits::kMaxLineBytes) {
            Refuse(TDavOpenFault::LineTooLong);
        }
    };
    if (oddByte >= 0 && !block.empty()) {
        take(unit(static_cast<unsigned char>(oddByte), static_cast<unsigned char>(block[0])));
        oddByte = -1;
        k = 1;
    }
    for (; k + 1 < block.size() && refusal == TDavOpenFault::None; k += 2) {
        take(unit(static_cast<unsigned char>(block[k]), static_cast<unsigned char>(block[k + 1])));
    }
    if (k < block.size()) {
        oddByte = static_cast<unsigned char>(block[k]);
    }
}

void TListReserver::TState::Part(std::string_view block) {
    if (!started) {
        started = true;
        // The encoding as the reader tells it: by the mark, or UTF-16 by its NUL bytes.
        size_t mark = 0;
        const TTextEncoding encoding = DetectEncoding(block, mark);
        utf16 = encoding == TTextEncoding::Utf16LE || encoding == TTextEncoding::Utf16BE;
        bigEndian = encoding == TTextEncoding::Utf16BE;
        block.remove_prefix(mark);
    }
    if (utf16) {
        Utf16Part(block);
        return;
    }
    const auto count = [this](std::string_view lines) { CountLines(lines, counts, rows); };
    size_t i = 0;
    if (!carry.empty()) {
        // The line begun in earlier blocks ends at the first line break of this one.
        i = LineBreaks::FindLineBreak(block.data(), 0, block.size());
        if (carry.size() + i > DavLimits::kMaxLineBytes) {
            Refuse(TDavOpenFault::LineTooLong);
            return;
        }
        carry.append(block.substr(0, i));
        if (i == block.size()) {
            return;
        }
        carry += '\n';
        count(carry);
        carry.clear();
    }
    // Whole lines up to the block's last line break; the rest waits for the next block.
    const size_t last = block.find_last_of("\r\n");
    if (last == std::string_view::npos || last < i) {
        if (carry.size() + (block.size() - i) > DavLimits::kMaxLineBytes) {
            Refuse(TDavOpenFault::LineTooLong);
            return;
        }
        carry.append(block.substr(i));
        return;
    }
    count(block.substr(i, last + 1 - i));
    carry.assign(block.substr(last + 1));
}

TListReserver::TListReserver() : state_(std::make_unique<TState>()) {}

TListReserver::~TListReserver() = default;

void TListReserver::Feed(std::string_view block) {
    TState& s = *state_;
    for (size_t at = 0; at < block.size() && s.refusal == TDavOpenFault::None;
         at += DavLimits::kMaxLineBytes) {
        const std::string_view part = block.substr(at, DavLimits::kMaxLineBytes);
        s.bytes += part.size();
        if (s.bytes > DavLimits::kMaxFileBytes) {
            s.Refuse(TDavOpenFault::TooLarge);
            return;
        }
        s.Part(part);
    }
}

TDavOpenFault TListReserver::Refusal() const {
    return state_->refusal;
}

namespace {

// Feeds the rest of a file to reserver; false when a read fails or a limit refuses the file.
bool FeedRest(TListReserver& reserver, TFileBlocks& file) {
    std::string_view block;
    while (reserver.Refusal() == TDavOpenFault::None && file.Next(block)) {
        reserver.Feed(block);
    }
    return !file.Failed() && reserver.Refusal() == TDavOpenFault::None;
}

// A UTF-16 file is read in one go: its halves would not be cut at its units, and only one
// reader that knows the encoding measures its lines.
bool StartsWithUtf16Mark(const std::u16string& fileName) {
    TFileBlocks head(2);
    std::string_view mark;
    return head.Open(fileName) && head.Next(mark) && (mark == "\xFF\xFE" || mark == "\xFE\xFF");
}

// The second half of a file counted in halves: the lines from the first one that starts past
// byte at go to later, and boundary receives where they start, or kUnknownSize when no line
// starts past at or the file cannot be opened again. True when that half was read through.
bool FeedSecondHalf(const std::u16string& fileName, uintmax_t at, TListReserver& later,
                    std::promise<uintmax_t>& boundary) {
    TFileBlocks tail;
    bool found = false;
    std::string_view piece;
    if (tail.Open(fileName) && tail.Seek(at)) {
        while (!found && tail.Next(piece)) {
            const size_t brk = piece.find_first_of("\r\n");
            if (brk == std::string_view::npos) {
                at += piece.size();
                continue;
            }
            found = true;
            boundary.set_value(at + brk + 1);
            later.Feed(piece.substr(brk + 1));
        }
    }
    if (!found) {
        boundary.set_value(kUnknownSize);
        return false;
    }
    while (later.Refusal() == TDavOpenFault::None && tail.Next(piece)) {
        later.Feed(piece);
    }
    return !tail.Failed();
}

}  // namespace

bool TListReserver::FeedFile(const std::u16string& fileName, TFileBlocks& file,
                             uintmax_t halvesFrom) {
    const uintmax_t size = file.SizeHint();
    if (size == kUnknownSize || size < halvesFrom || std::thread::hardware_concurrency() < 2 ||
        StartsWithUtf16Mark(fileName)) {
        return FeedRest(*this, file);
    }
    return FeedHalves(fileName, file, size);
}

// The second half: the lines from the first one that starts past the middle, through a reader
// of their own on a thread of their own. Where they start is known after that reader's first
// block; where no line starts past the middle, or the other reader cannot open the file, this
// one reads it all.
bool TListReserver::FeedHalves(const std::u16string& fileName, TFileBlocks& file, uintmax_t size) {
    TListReserver later;
    later.state_->started = true;  // no byte-order mark in the middle of a file
    std::promise<uintmax_t> boundary;
    std::future<uintmax_t> start = boundary.get_future();
    bool laterRead = false;
    // Joined when it goes out of scope, also when the counting here throws.
    std::jthread other([&] { laterRead = FeedSecondHalf(fileName, size / 2, later, boundary); });
    const uintmax_t middle = start.get();
    if (middle != kUnknownSize) {
        file.EndAt(middle);
    }
    std::string_view block;
    while (Refusal() == TDavOpenFault::None && file.Next(block)) {
        Feed(block);
    }
    other.join();
    if (file.Failed() || Refusal() != TDavOpenFault::None) {
        return false;
    }
    if (middle == kUnknownSize) {
        return true;
    }
    if (later.Refusal() != TDavOpenFault::None) {
        state_->Refuse(later.Refusal());
        return false;
    }
    if (state_->bytes + later.state_->bytes > DavLimits::kMaxFileBytes) {
        state_->Refuse(TDavOpenFault::TooLarge);
        return false;
    }
    if (!laterRead) {
        return false;
    }
    // The first half ends just after a line break, so no line of it is carried over.
    state_->counts.Append(later.state_->counts);
    state_->carry = std::move(later.state_->carry);
    return true;
}

int TListReserver::Counted(int kindCode) const {
    const auto& kind = state_->counts.kind;
    return kindCode > 0 && static_cast<size_t>(kindCode) < kind.size()
               ? kind[static_cast<size_t>(kindCode)]
               : 0;
}

int TListReserver::CountedEntities() const {
    return state_->counts.entities;
}

void TListReserver::Reserve(TJGdata& jg) {
    TState& s = *state_;
    if (!s.carry.empty()) {
        // The last line, without a line break.
        s.carry += '\n';
        CountLines(s.carry, s.counts, s.rows);
        std::string().swap(s.carry);
    }
    if (s.utf16 || !s.started) {
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
