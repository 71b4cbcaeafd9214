// TextFile: reading and writing whole text files in the encodings the host and the dialog use.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LineBreaks.h"

enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct TDecodedText {
    std::u16string text;
    TTextEncoding encoding = TTextEncoding::Ansi;
};

// DetectEncoding looks at no more than this many bytes of a text's start.
constexpr size_t kEncodingSampleBytes = 4096;

// Chooses the encoding by the byte-order mark at the start of head (EF BB BF, FF FE, FE FF);
// markBytes receives the mark's length, 0 without one. Without a mark, UTF-16 is recognised
// by its NUL bytes (IsUnmarkedUtf16), else the text is in the ANSI code page.
TTextEncoding DetectEncoding(std::string_view head, size_t& markBytes);

// The byte order of UTF-16 written without a mark, told from the first kEncodingSampleBytes
// of head: the host's lines are mostly ASCII, and an ASCII character in UTF-16 is a NUL byte
// beside its code. It is UTF-16 when at least four of the two-byte units, and a quarter of
// them, are such characters in one byte order, and more than in the other (where a kanji
// such as U+4E00 or the full-width space U+3000 looks like one). Text in the code page or
// UTF-8 holds no NUL bytes, so a stray one never turns it into UTF-16. Ansi when the text is
// not UTF-16.
TTextEncoding UnmarkedUtf16Order(std::string_view head);

// Decodes bytes without a mark in the given encoding; invalid sequences become U+FFFD.
std::u16string DecodeText(std::string_view bytes, TTextEncoding encoding);

// Chooses the encoding by byte-order mark and decodes. The mark is not part of the text.
TDecodedText DecodeTextBytes(std::string_view bytes);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

// Opens fileName for reading if it is a regular file: a folder fails, and opening a pipe
// would wait for a writer. sizeHint receives the file's size, or kUnknownSize; it is a hint
// only, as the file may change while it is read.
constexpr uintmax_t kUnknownSize = UINTMAX_MAX;
bool OpenFileForReading(const std::u16string& fileName, std::ifstream& in, uintmax_t& sizeHint);

// Reads the whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::u16string& fileName, std::string& out);

// The size of the blocks a file is read in.
constexpr size_t kFileBlockBytes = size_t{1} << 20;

// A text's bytes in blocks, first to last.
class TByteBlocks {
public:
    virtual ~TByteBlocks() = default;
    // The next block, valid until the next call; false when there is none.
    virtual bool Next(std::string_view& block) = 0;
};

// The blocks of a text in memory: views of about blockBytes bytes.
class TMemoryBlocks final : public TByteBlocks {
public:
    explicit TMemoryBlocks(std::string_view bytes, size_t blockBytes = kFileBlockBytes)
        : bytes_(bytes), blockBytes_(blockBytes == 0 ? kFileBlockBytes : blockBytes) {}
    bool Next(std::string_view& block) override;

private:
    std::string_view bytes_;
    size_t blockBytes_;
    size_t at_ = 0;
};

// A file read a block at a time into one buffer, which every block reuses: reading a large
// file touches the memory of one block, not of the whole file.
class TFileBlocks final : public TByteBlocks {
public:
    explicit TFileBlocks(size_t blockBytes = kFileBlockBytes);
    // Opens a regular file (not a folder, not a pipe); false when it cannot be opened.
    bool Open(const std::u16string& fileName);
    // False at the end of the file and after a failed read (see Failed).
    bool Next(std::string_view& block) override;
    // Back to the file's first byte, with no end set; false when the file cannot be read
    // again.
    bool Rewind() { return Seek(0); }
    // To the byte at offset, with no end set; false when the file cannot be read there.
    bool Seek(uintmax_t offset);
    // The blocks end before the byte at offset.
    void EndAt(uintmax_t offset) { end_ = offset; }
    // Whether a read failed; the blocks then end early.
    bool Failed() const { return failed_; }
    // The file's size when it was opened, or kUnknownSize.
    uintmax_t SizeHint() const { return sizeHint_; }

private:
    std::ifstream in_;
    std::unique_ptr<char[]> buffer_;
    size_t blockBytes_;
    uintmax_t sizeHint_ = kUnknownSize;
    uintmax_t position_ = 0;  // of the next byte read
    uintmax_t end_ = kUnknownSize;
    bool failed_ = false;
    bool ended_ = false;
};

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

// Writes bytes to a temporary file in the target's folder ("<name>.<12 hex digits>.tmp"), has
// it put on the disk and puts it in the target's place, so that no reader ever sees a
// half-written file, not even after a power loss. A read-only target (Platform: its
// attribute, or its mode bits) and a folder of that name are not replaced. On failure the
// temporary file is removed, the target is left as it was, and false is returned.
bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes);

// Whether the file is marked read-only, so that WriteFileReplacing does not replace it: on
// Windows its attribute, elsewhere no write permission for anyone in its mode bits.
bool IsReadOnlyFile(const std::u16string& fileName);

// Whether WriteFileReplacing could replace fileName now, and a failed save could still remove
// it: the file is not marked read-only, and its folder takes a new file and lets it be removed
// again. Tried with an empty temporary file by the name WriteFileReplacing uses, so that the
// folder's permissions, attributes and access rules all have their say.
bool CanReplaceFile(const std::u16string& fileName);

// A name for a temporary file beside the target that no other writer picks, as
// WriteFileReplacing names its own ("<name>.<12 hex digits>.tmp"), so that
// RemoveStaleTemporaries also finds one that another writer left behind. attempt tells the
// names of one writer's retries apart.
std::filesystem::path TemporaryName(const std::filesystem::path& target, unsigned attempt = 0);

// Removes the temporary files of WriteFileReplacing for this target that a run ended in the
// middle of a save (killed, or the machine going down) left behind: those at least
// minimumAge old, so that a save under way in another process keeps its own.
void RemoveStaleTemporaries(const std::u16string& fileName,
                            std::chrono::seconds minimumAge = std::chrono::minutes(1));

// A file name as the file system takes it.
std::string NativeFileName(const std::u16string& fileName);
