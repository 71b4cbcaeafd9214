// TextBlockDecoder: a text held in blocks, decoded a run of whole lines at a time.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "FileBlocks.h"
#include "LineBreaks.h"
#include "TextDecode.h"

// Decodes a text held in blocks, byte-order mark first, a piece at a time, by the rules of
// DecodeTextBytes. Each piece is a run of whole lines with their line breaks; only the last
// piece may end without one, and a CR LF pair is never cut. A block is let go as soon as it
// has been decoded, so a large text is never held whole in its bytes and decoded at once.
class TTextBlockDecoder {
public:
    // Blocks that source gives; it must outlive the decoder.
    explicit TTextBlockDecoder(TByteBlocks& source);
    // Blocks held in strings, each released as soon as it has been decoded.
    explicit TTextBlockDecoder(std::vector<std::string>&& blocks);
    // A text in memory, read in pieces of about blockBytes bytes.
    explicit TTextBlockDecoder(std::string_view bytes, size_t blockBytes = kFileBlockBytes);
    TTextBlockDecoder(const TTextBlockDecoder&) = delete;
    TTextBlockDecoder& operator=(const TTextBlockDecoder&) = delete;
    ~TTextBlockDecoder();

    TTextEncoding Encoding() const { return encoding_; }
    // The next piece, valid until the next call; false when the text is used up.
    bool Next(std::u16string_view& piece);

private:
    void Start();
    bool NextBlock();
    size_t DecodePiece(std::string_view bytes);
    std::u16string_view Decoded(std::string_view bytes);
    bool NextUtf16(std::u16string_view& piece);

    std::unique_ptr<TByteBlocks> owned_;
    TByteBlocks* source_ = nullptr;
    // The block being decoded, from offset_ on; have_ is false once the blocks are used up.
    std::string_view block_;
    size_t offset_ = 0;
    bool have_ = false;
    // Whether the current block has been handed to lines_.
    bool fed_ = false;
    // The first blocks joined, when the first is too short to hold a byte-order mark.
    std::string head_;
    LineBreaks::TLineSplitter<char> lines_;
    // The bytes of a line that began in an earlier block.
    std::string carry_;
    std::u16string text_;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
};
