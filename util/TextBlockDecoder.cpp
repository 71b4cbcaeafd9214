// TextBlockDecoder: a text held in blocks, decoded a run of whole lines at a time.
#include "TextBlockDecoder.h"

#include <utility>  // for std::move

#include "Utf16.h"

namespace {

// A decoded piece holds whole lines of about this many bytes.
constexpr size_t kPieceBytes = size_t{1} << 16;

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
        text_ += Utf16::kReplacement;
    }
    piece = text_;
    return true;
}
