// TextFile: reading and writing whole text files in the encodings the host and the dialog use.
//
// UTF-8 and UTF-16 are decoded and encoded by hand: the host's exchange file can be tens of
// megabytes, almost all ASCII, and a loop that copies eight ASCII bytes at a time is several
// times faster than a general converter. The legacy code page has large mapping tables and
// vendor extensions, so it goes through CodePage.cpp, whose tables come from the system.
#include "TextFile.h"

#include <algorithm>  // for std::all_of, std::copy
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <utility>  // for std::move

#include "Platform.h"
#include "PlatformNative.h"
#include "Utf16.h"
#include "WordScan.h"

namespace {

using Utf16::kReplacement;
constexpr size_t kReadChunk = size_t{1} << 20;
// A decoded piece holds whole lines of about this many bytes.
constexpr size_t kPieceBytes = size_t{1} << 16;

// Any of eight bytes with the high bit set.
constexpr uint64_t kHighBits = 0x8080808080808080ull;
// Any of four UTF-16 units above U+007F.
constexpr uint64_t kNonAsciiUnits = 0xFF80FF80FF80FF80ull;

std::filesystem::path ToPath(const std::u16string& fileName) {
    const std::string utf8 = NativeFileName(fileName);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Decodes UTF-8 into base, which has room for bytes.size() units; returns the units written.
// Each malformed sequence becomes one U+FFFD per maximal subpart: the lead byte and the
// continuation bytes that were valid so far; decoding resumes at the offending byte.
size_t DecodeUtf8To(std::string_view bytes, char16_t* const base) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    char16_t* q = base;
    size_t i = 0;
    while (i < n) {
        // ASCII runs, sixteen bytes at a time; a local copy lets the compiler widen them in
        // vector registers.
        while (i + 16 <= n) {
            unsigned char run[16];
            std::memcpy(run, s + i, sizeof run);
            uint64_t first;
            uint64_t second;
            std::memcpy(&first, run, 8);
            std::memcpy(&second, run + 8, 8);
            if ((first | second) & kHighBits) {
                break;
            }
            for (int k = 0; k < 16; ++k) {
                q[k] = run[k];
            }
            q += 16;
            i += 16;
        }
        if (i >= n) {
            break;
        }
        const unsigned char b0 = s[i];
        if (b0 < 0x80) {
            *q++ = b0;
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, which rules out overlong forms,
        // surrogates and values above U+10FFFF.
        int len = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        uint32_t cp = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            len = 2;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            len = 3;
            cp = b0 & 0x0F;
            if (b0 == 0xE0) {
                lo = 0xA0;
            } else if (b0 == 0xED) {
                hi = 0x9F;
            }
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            len = 4;
            cp = b0 & 0x07;
            if (b0 == 0xF0) {
                lo = 0x90;
            } else if (b0 == 0xF4) {
                hi = 0x8F;
            }
        } else {
            *q++ = kReplacement;
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool ok = true;
        for (int k = 1; k < len; ++k, ++j) {
            if (j >= n || s[j] < lo || s[j] > hi) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (s[j] & 0x3F);
            lo = 0x80;
            hi = 0xBF;
        }
        i = j;
        if (!ok) {
            *q++ = kReplacement;
        } else if (cp < 0x10000) {
            *q++ = static_cast<char16_t>(cp);
        } else {
            cp -= 0x10000;
            *q++ = static_cast<char16_t>(0xD800 + (cp >> 10));  // the pair's halves
            *q++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        }
    }
    return static_cast<size_t>(q - base);
}

void DecodeUtf8(std::string_view bytes, std::u16string& out) {
    const size_t old = out.size();
    // A byte never yields more than one UTF-16 unit; four bytes yield two.
    out.resize(old + bytes.size());
    out.resize(old + DecodeUtf8To(bytes, out.data() + old));
}

// Decodes count UTF-16 units in the given byte order into q. Unpaired surrogates are kept as
// they are, so the text survives unchanged.
void DecodeUtf16To(const unsigned char* s, size_t count, bool bigEndian, char16_t* q) {
    if (bigEndian) {
        for (size_t k = 0; k < count; ++k) {
            q[k] = static_cast<char16_t>((s[2 * k] << 8) | s[2 * k + 1]);
        }
    } else {
        for (size_t k = 0; k < count; ++k) {
            q[k] = static_cast<char16_t>(s[2 * k] | (s[2 * k + 1] << 8));
        }
    }
}

// A last odd byte becomes U+FFFD.
void DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& out) {
    const size_t units = bytes.size() / 2;
    out.resize(units);
    DecodeUtf16To(reinterpret_cast<const unsigned char*>(bytes.data()), units, bigEndian,
                  out.data());
    if (bytes.size() % 2 != 0) {
        out += kReplacement;
    }
}

// Whether a file name is one that TemporaryName gives for the target whose name, with the
// dot that follows it, is prefix.
bool IsTemporaryName(std::u8string_view name, std::u8string_view prefix) {
    constexpr std::u8string_view kSuffix = u8".tmp";
    constexpr size_t kTagDigits = 12;
    if (name.size() != prefix.size() + kTagDigits + kSuffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(kSuffix)) {
        return false;
    }
    const std::u8string_view tag = name.substr(prefix.size(), kTagDigits);
    return std::all_of(tag.begin(), tag.end(),
                       [](char8_t c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

void RemoveQuietly(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

// The ASCII bytes that the code page reads as the same character on their own, as code page
// 932 reads every one of them. A line of such bytes needs no converter. The
// search below finds control characters only, so a code page that reads a printable ASCII
// byte otherwise has no plain bytes at all.
using TPlainBytes = std::array<bool, 0x80>;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

const TPlainBytes& PlainAnsiBytes() {
    static const TPlainBytes plain = [] {
        TPlainBytes table{};
        for (size_t b = 0; b < table.size(); ++b) {
            const std::u16string text = Platform::DecodeAnsi(std::string(1, static_cast<char>(b)));
            table[b] = text.size() == 1 && text[0] == static_cast<char16_t>(b);
        }
        for (size_t b = kFirstPrintable; b < kDelete; ++b) {
            if (!table[b]) {
                return TPlainBytes{};
            }
        }
        return table;
    }();
    return plain;
}

bool IsPlainAnsi(const TPlainBytes& plain, char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < plain.size() && plain[b];
}

// Index of the first byte at or after i that is not plain, else the length. The word-wide
// test marks the bytes from 0x80 up, below 0x20 and 0x7F, among which are all that are not
// plain.
size_t FindNotPlain(const TPlainBytes& plain, std::string_view bytes, size_t i) {
    return WordScan::FindFirst(
        bytes.data(), i, bytes.size(), [&plain](char c) { return !IsPlainAnsi(plain, c); },
        [](uint64_t word) {
            return WordScan::MarksHigh<char>(word) |
                   WordScan::MarksBelow<char>(word, kFirstPrintable) |
                   WordScan::MarksEqual<char>(word, kDelete);
        });
}

// Appends plain bytes to out at used, one unit each.
void WidenAscii(std::string_view bytes, std::u16string& out, size_t& used) {
    if (out.size() < used + bytes.size()) {
        out.resize(used + bytes.size());
    }
    char16_t* const q = out.data() + used;
    for (size_t k = 0; k < bytes.size(); ++k) {
        q[k] = static_cast<unsigned char>(bytes[k]);
    }
    used += bytes.size();
}

// Decodes bytes of the code page that end at a line break, or at the end of the text, into
// out: plain bytes directly, the rest of a line from its first other byte by the converter.
// Plain bytes are whole characters and a line break byte is never part of a longer sequence,
// so each part decodes as it would within the whole text.
size_t DecodeAnsiLines(std::string_view bytes, std::u16string& out) {
    const TPlainBytes& plain = PlainAnsiBytes();
    const size_t n = bytes.size();
    size_t used = 0;
    size_t pos = 0;
    while (pos < n) {
        const size_t other = FindNotPlain(plain, bytes, pos);
        if (other == n) {
            WidenAscii(bytes.substr(pos), out, used);
            break;
        }
        WidenAscii(bytes.substr(pos, other - pos), out, used);
        size_t end = other;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        end = end < n ? end + 1 : n;
        const std::u16string line = Platform::DecodeAnsi(bytes.substr(other, end - other));
        if (out.size() < used + line.size()) {
            out.resize(used + line.size());
        }
        std::copy(line.begin(), line.end(), out.begin() + static_cast<std::ptrdiff_t>(used));
        used += line.size();
        pos = end;
    }
    return used;
}

}  // namespace

std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937_64 rng(
        std::random_device{}() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const uint64_t tag = rng() ^ (static_cast<uint64_t>(counter++) << 32) ^ attempt;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string suffix = ".";
    for (int k = 0; k < 12; ++k) {
        suffix += kHex[(tag >> (4 * k)) & 0xF];
    }
    suffix += ".tmp";
    std::filesystem::path name = target;
    name += suffix;
    return name;
}

TTextEncoding DetectEncoding(std::string_view head, size_t& markBytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(head.data());
    const size_t n = head.size();
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) {
        markBytes = 3;
        return TTextEncoding::Utf8;
    }
    if (n >= 2 && s[0] == 0xFF && s[1] == 0xFE) {
        markBytes = 2;
        return TTextEncoding::Utf16LE;
    }
    if (n >= 2 && s[0] == 0xFE && s[1] == 0xFF) {
        markBytes = 2;
        return TTextEncoding::Utf16BE;
    }
    markBytes = 0;
    return UnmarkedUtf16Order(head);
}

TTextEncoding UnmarkedUtf16Order(std::string_view head) {
    constexpr size_t kLeast = 4;
    const auto* s = reinterpret_cast<const unsigned char*>(head.data());
    const size_t units = std::min(head.size(), kEncodingSampleBytes) / 2;
    const auto ascii = [](unsigned char code, unsigned char other) {
        return code != 0 && code < 0x80 && other == 0;
    };
    size_t little = 0;
    size_t big = 0;
    for (size_t k = 0; k < units; ++k) {
        little += ascii(s[2 * k], s[2 * k + 1]) ? 1 : 0;
        big += ascii(s[2 * k + 1], s[2 * k]) ? 1 : 0;
    }
    const auto clear = [units](size_t one, size_t other) {
        return one >= kLeast && 4 * one >= units && one > other;
    };
    if (clear(little, big)) {
        return TTextEncoding::Utf16LE;
    }
    if (clear(big, little)) {
        return TTextEncoding::Utf16BE;
    }
    return TTextEncoding::Ansi;
}

std::u16string DecodeText(std::string_view bytes, TTextEncoding encoding) {
    std::u16string text;
    switch (encoding) {
        case TTextEncoding::Utf8: DecodeUtf8(bytes, text); break;
        case TTextEncoding::Utf16LE: DecodeUtf16(bytes, false, text); break;
        case TTextEncoding::Utf16BE: DecodeUtf16(bytes, true, text); break;
        case TTextEncoding::Ansi: text = Platform::DecodeAnsi(bytes); break;
    }
    return text;
}

TDecodedText DecodeTextBytes(std::string_view bytes) {
    TDecodedText result;
    size_t mark = 0;
    result.encoding = DetectEncoding(bytes, mark);
    result.text = DecodeText(bytes.substr(mark), result.encoding);
    return result;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
    const size_t n = text.size();
    const size_t old = out.size();
    // Three bytes per unit at most: a pair of units gives four.
    out.resize(old + 3 * n);
    char* const base = out.data();
    char* q = base + old;
    size_t i = 0;
    while (i < n) {
        // ASCII runs, four units at a time.
        while (i + 4 <= n) {
            uint64_t block;
            std::memcpy(&block, text.data() + i, 8);
            if (block & kNonAsciiUnits) {
                break;
            }
            for (int k = 0; k < 4; ++k) {
                q[k] = static_cast<char>(text[i + k]);
            }
            q += 4;
            i += 4;
        }
        if (i >= n) {
            break;
        }
        const char16_t c = text[i];
        if (c < 0x80) {
            *q++ = static_cast<char>(c);
            ++i;
        } else if (c < 0x800) {
            *q++ = static_cast<char>(0xC0 | (c >> 6));
            *q++ = static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        } else if (Utf16::IsPairAt(text, i)) {
            const uint32_t cp = Utf16::PairCodePoint(c, text[i + 1]);
            *q++ = static_cast<char>(0xF0 | (cp >> 18));
            *q++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *q++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *q++ = static_cast<char>(0x80 | (cp & 0x3F));
            i += 2;
        } else {
            const char16_t u = Utf16::IsSurrogate(c) ? kReplacement : c;
            *q++ = static_cast<char>(0xE0 | (u >> 12));
            *q++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *q++ = static_cast<char>(0x80 | (u & 0x3F));
            ++i;
        }
    }
    out.resize(static_cast<size_t>(q - base));
}

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    AppendUtf8(out, text);
    return out;
}

std::u16string FromUtf8(std::string_view bytes) {
    std::u16string out;
    DecodeUtf8(bytes, out);
    return out;
}

bool OpenFileForReading(const std::u16string& fileName, std::ifstream& in, uintmax_t& sizeHint) {
    sizeHint = kUnknownSize;
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path path = ToPath(fileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    in.open(path, std::ios::binary);
    if (!in) {
        return false;
    }
    const uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec) {
        sizeHint = size;
    }
    return true;
}

bool ReadFileBytes(const std::u16string& fileName, std::string& out) {
    out.clear();
    std::ifstream in;
    uintmax_t hint = kUnknownSize;
    if (!OpenFileForReading(fileName, in, hint)) {
        return false;
    }
    if (hint < (uintmax_t{1} << 40)) {
        out.reserve(static_cast<size_t>(hint));
    }
    for (;;) {
        const size_t old = out.size();
        out.resize(old + kReadChunk);
        in.read(out.data() + old, static_cast<std::streamsize>(kReadChunk));
        const auto got = static_cast<size_t>(in.gcount());
        out.resize(old + got);
        if (in.bad()) {
            out.clear();
            return false;
        }
        if (!in) {
            break;  // end of file
        }
    }
    return true;
}

namespace {

// Blocks held in strings; each is released when the next one is taken.
class TOwnedBlocks final : public TByteBlocks {
public:
    explicit TOwnedBlocks(std::vector<std::string>&& blocks) : blocks_(std::move(blocks)) {}
    bool Next(std::string_view& block) override {
        if (next_ > 0) {
            std::string().swap(blocks_[next_ - 1]);
        }
        if (next_ >= blocks_.size()) {
            return false;
        }
        block = blocks_[next_++];
        return true;
    }

private:
    std::vector<std::string> blocks_;
    size_t next_ = 0;
};

}  // namespace

bool TMemoryBlocks::Next(std::string_view& block) {
    if (at_ >= bytes_.size()) {
        return false;
    }
    block = bytes_.substr(at_, blockBytes_);
    at_ += block.size();
    return true;
}

TFileBlocks::TFileBlocks(size_t blockBytes)
    : blockBytes_(blockBytes == 0 ? kFileBlockBytes : blockBytes) {}

bool TFileBlocks::Open(const std::u16string& fileName) {
    in_.close();
    failed_ = false;
    ended_ = false;
    position_ = 0;
    end_ = kUnknownSize;
    if (!OpenFileForReading(fileName, in_, sizeHint_)) {
        return false;
    }
    // A small file needs no more than its own size (and a byte to see its end).
    if (sizeHint_ < blockBytes_) {
        blockBytes_ = static_cast<size_t>(sizeHint_) + 1;
    }
    // Left uninitialized: every byte handed out has been read into it first.
    buffer_.reset(new char[blockBytes_]);
    return true;
}

bool TFileBlocks::Next(std::string_view& block) {
    if (ended_ || failed_ || !buffer_ || position_ >= end_) {
        return false;
    }
    size_t want = blockBytes_;
    if (end_ - position_ < want) {
        want = static_cast<size_t>(end_ - position_);
    }
    in_.read(buffer_.get(), static_cast<std::streamsize>(want));
    const auto got = static_cast<size_t>(in_.gcount());
    if (in_.bad()) {
        failed_ = true;
        return false;
    }
    if (!in_) {
        ended_ = true;  // the end of the file
    }
    if (got == 0) {
        return false;
    }
    position_ += got;
    block = std::string_view(buffer_.get(), got);
    return true;
}

bool TFileBlocks::Seek(uintmax_t offset) {
    if (failed_ || !buffer_) {
        return false;
    }
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    ended_ = false;
    position_ = offset;
    end_ = kUnknownSize;
    if (!in_) {
        failed_ = true;
        return false;
    }
    return true;
}

TTextBlockDecoder::TTextBlockDecoder(TByteBlocks& source) : source_(&source) {
    Start();
}

TTextBlockDecoder::TTextBlockDecoder(std::vector<std::string>&& blocks)
    : owned_(std::make_unique<TOwnedBlocks>(std::move(blocks))), source_(owned_.get()) {
    Start();
}

TTextBlockDecoder::TTextBlockDecoder(std::string_view bytes, size_t blockBytes)
    : owned_(std::make_unique<TMemoryBlocks>(bytes, blockBytes)), source_(owned_.get()) {
    Start();
}

TTextBlockDecoder::~TTextBlockDecoder() = default;

// Chooses the encoding by the byte-order mark, or by the NUL bytes of UTF-16 without one. The
// first blocks are joined while they are shorter than the sample the choice looks at, so
// that the choice does not depend on how the text is cut into blocks.
void TTextBlockDecoder::Start() {
    have_ = source_->Next(block_);
    if (have_ && block_.size() < kEncodingSampleBytes) {
        head_.assign(block_);
        std::string_view more;
        while (head_.size() < kEncodingSampleBytes && source_->Next(more)) {
            head_ += more;
        }
        block_ = head_;
    }
    size_t mark = 0;
    encoding_ = DetectEncoding(block_.substr(0, kEncodingSampleBytes), mark);
    offset_ = mark;
}

// Lets the current block go and takes the next one.
bool TTextBlockDecoder::NextBlock() {
    offset_ = 0;
    fed_ = false;
    std::string().swap(head_);
    have_ = have_ && source_->Next(block_);
    if (!have_) {
        block_ = std::string_view();
    }
    return have_;
}

// Decodes bytes that end at a line break, or at the end of the text, into text_. A line
// break byte is never part of a longer sequence in UTF-8 or in the code page, so a piece
// decodes exactly as it would within the whole text.
size_t TTextBlockDecoder::DecodePiece(std::string_view bytes) {
    if (encoding_ == TTextEncoding::Utf8) {
        // The buffer only grows, and is written before it is read.
        if (text_.size() < bytes.size()) {
            text_.resize(bytes.size());
        }
        return DecodeUtf8To(bytes, text_.data());
    }
    return DecodeAnsiLines(bytes, text_);
}

std::u16string_view TTextBlockDecoder::Decoded(std::string_view bytes) {
    // Decoding may move text_'s storage: its data is taken only afterwards.
    const size_t units = DecodePiece(bytes);
    return std::u16string_view(text_.data(), units);
}

bool TTextBlockDecoder::Next(std::u16string_view& piece) {
    if (encoding_ == TTextEncoding::Utf16LE || encoding_ == TTextEncoding::Utf16BE) {
        return NextUtf16(piece);
    }
    std::string_view line;
    bool ended = false;
    while (have_) {
        if (!fed_) {
            lines_.Feed(block_.substr(offset_));
            fed_ = true;
        }
        if (!carry_.empty()) {
            // The line begun in earlier blocks ends at the first line break of this one.
            if (!lines_.NextWithBreak(line, ended)) {
                NextBlock();
                continue;
            }
            carry_ += line;
            if (!ended) {
                NextBlock();
                continue;
            }
            piece = Decoded(carry_);
            carry_.clear();
            return true;
        }
        // Whole lines of about kPieceBytes, so that the decoded piece is still in the cache
        // when it is parsed and a decoder's buffer stays small.
        std::string_view run;
        if (lines_.NextLines(run, kPieceBytes)) {
            piece = Decoded(run);
            return true;
        }
        // The last, unfinished line of the block waits for the next block.
        if (lines_.Next(line, ended)) {
            carry_.assign(line);
        }
        NextBlock();
    }
    if (carry_.empty()) {
        return false;
    }
    piece = Decoded(carry_);
    std::string().swap(carry_);
    return true;
}

// UTF-16 is decoded in one piece, each block let go as soon as it is decoded; a unit may be
// split between two blocks.
bool TTextBlockDecoder::NextUtf16(std::u16string_view& piece) {
    if (!have_) {
        return false;
    }
    const bool bigEndian = encoding_ == TTextEncoding::Utf16BE;
    text_.clear();
    int pending = -1;
    do {
        const std::string_view rest = block_.substr(offset_);
        const auto* s = reinterpret_cast<const unsigned char*>(rest.data());
        size_t i = 0;
        if (pending >= 0 && !rest.empty()) {
            const unsigned char unit[2] = {static_cast<unsigned char>(pending), s[0]};
            char16_t c = 0;
            DecodeUtf16To(unit, 1, bigEndian, &c);
            text_ += c;
            pending = -1;
            i = 1;
        }
        const size_t units = (rest.size() - i) / 2;
        const size_t old = text_.size();
        text_.resize(old + units);
        DecodeUtf16To(s + i, units, bigEndian, text_.data() + old);
        i += 2 * units;
        if (i < rest.size()) {
            pending = s[i];
        }
    } while (NextBlock());
    if (pending >= 0) {
        text_ += kReplacement;
    }
    piece = text_;
    return true;
}

bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes) {
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path target = ToPath(fileName);
    std::error_code ec;
    // A folder in the file's place is never replaced, nor a file that its owner or the host
    // marked read-only.
    if (std::filesystem::is_directory(target, ec) || Platform::Native::IsReadOnlyFile(target)) {
        return false;
    }
    std::filesystem::path temp;
    for (unsigned attempt = 0;; ++attempt) {
        if (attempt == 16) {
            return false;
        }
        temp = TemporaryName(target, attempt);
        if (!std::filesystem::exists(std::filesystem::symlink_status(temp, ec))) {
            break;
        }
    }
    // Created only if the name is still free; on failure nothing of it is left.
    if (!Platform::Native::WriteNewFileDurably(temp, bytes)) {
        return false;
    }
#ifndef _WIN32
    // The new file keeps the permissions of the one it replaces. (On Windows the replace
    // operation keeps the old file's attributes itself.)
    const std::filesystem::file_status old = std::filesystem::status(target, ec);
    if (!ec && std::filesystem::is_regular_file(old)) {
        std::filesystem::permissions(temp, old.permissions(), ec);
    }
#endif
    // Waits a moment for another program that holds the target open (Windows).
    if (!Platform::Native::ReplaceFileWith(temp, target)) {
        RemoveQuietly(temp);
        return false;
    }
    return true;
}

bool IsReadOnlyFile(const std::u16string& fileName) {
    return !fileName.empty() && Platform::Native::IsReadOnlyFile(ToPath(fileName));
}

bool CanReplaceFile(const std::u16string& fileName) {
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path target = ToPath(fileName);
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec) || Platform::Native::IsReadOnlyFile(target)) {
        return false;
    }
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path probe = TemporaryName(target, attempt);
        if (std::filesystem::exists(std::filesystem::symlink_status(probe, ec))) {
            continue;
        }
        if (!Platform::Native::CreateEmptyFile(probe)) {
            return false;
        }
        // A probe that cannot be removed stays behind until a later start removes it as a
        // stale temporary file.
        return std::filesystem::remove(probe, ec) && !ec;
    }
    return false;
}

void RemoveStaleTemporaries(const std::u16string& fileName, std::chrono::seconds minimumAge) {
    if (fileName.empty()) {
        return;
    }
    const std::filesystem::path target = ToPath(fileName);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    // Compared in UTF-8, which holds every name (a narrow name on Windows may not).
    const std::u8string prefix = target.filename().u8string() + u8".";
    const auto now = std::filesystem::file_time_type::clock::now();
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::u8string name = it->path().filename().u8string();
        if (!IsTemporaryName(name, prefix)) {
            continue;
        }
        std::error_code entryError;
        if (!it->is_regular_file(entryError)) {
            continue;
        }
        const auto written = it->last_write_time(entryError);
        if (!entryError && now - written >= minimumAge) {
            RemoveQuietly(it->path());
        }
    }
}

std::string NativeFileName(const std::u16string& fileName) {
    return ToUtf8(fileName);
}
