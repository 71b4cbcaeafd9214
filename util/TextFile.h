// TextFile: reading and writing whole text files in the encodings the host and the dialog use.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct TDecodedText {
    std::u16string text;
    TTextEncoding encoding = TTextEncoding::Ansi;
};

// Chooses the encoding by byte-order mark (EF BB BF, FF FE, FE FF; else the ANSI code page)
// and decodes. The mark is not part of the text; invalid sequences become U+FFFD.
TDecodedText DecodeTextBytes(std::string_view bytes);

// Calls f(line) for every line of text. Lines end at CR LF, a lone LF or a lone CR; a line
// break at the very end adds no empty line.
template <class F>
void ForEachLine(std::u16string_view text, F&& f) {
    size_t start = 0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c == u'\n' || c == u'\r') {
            f(text.substr(start, i - start));
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < n) {
        f(text.substr(start));
    }
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view bytes);

// Reads the whole file; false when it cannot be opened or read.
bool ReadFileBytes(const std::u16string& fileName, std::string& out);

// The size of the blocks ReadFileBlocks reads.
constexpr size_t kFileBlockBytes = size_t{1} << 20;

// Reads the whole file into blocks of blockBytes bytes, the last one shorter, so that a reader
// can release each block once it has used it. False when the file cannot be opened or read;
// blocks is then empty.
bool ReadFileBlocks(const std::u16string& fileName, std::vector<std::string>& blocks,
                    size_t blockBytes = kFileBlockBytes);

// Decodes a text held in blocks, byte-order mark first, a piece at a time, by the rules of
// DecodeTextBytes. Each piece is a run of whole lines with their line breaks; only the last
// piece may end without one, and a CR LF pair is never cut. Each block is released as soon as
// it has been decoded, so a large file is not held twice over.
class TTextBlockDecoder {
public:
    explicit TTextBlockDecoder(std::vector<std::string>&& blocks);
    // A text in memory, read in pieces of about blockBytes bytes.
    explicit TTextBlockDecoder(std::string_view bytes, size_t blockBytes = kFileBlockBytes);
    TTextBlockDecoder(const TTextBlockDecoder&) = delete;
    TTextBlockDecoder& operator=(const TTextBlockDecoder&) = delete;

    TTextEncoding Encoding() const { return encoding_; }
    // The next piece, valid until the next call; false when the text is used up.
    bool Next(std::u16string_view& piece);

private:
    void Start();
    void Skip(size_t count);
    void ReleaseBlock();
    size_t DecodePiece(std::string_view bytes);
    bool NextUtf16(std::u16string_view& piece);

    std::vector<std::string> owned_;
    std::vector<std::string_view> blocks_;
    size_t block_ = 0;
    size_t offset_ = 0;
    // The bytes of a line that began in an earlier block.
    std::string carry_;
    std::u16string text_;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
    // The last piece ended with a CR at the end of a block; a LF right after it belongs to it.
    bool afterCr_ = false;
};

// Writes bytes to a temporary file in the target's folder ("<name>.<12 hex digits>.tmp"), has
// it put on the disk and puts it in the target's place, so that no reader ever sees a
// half-written file, not even after a power loss. A read-only target (Platform: its
// attribute, or its mode bits) and a folder of that name are not replaced. On failure the
// temporary file is removed, the target is left as it was, and false is returned.
bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes);

// Removes the temporary files of WriteFileReplacing for this target that a run ended in the
// middle of a save (killed, or the machine going down) left behind: those at least
// minimumAge old, so that a save under way in another process keeps its own.
void RemoveStaleTemporaries(const std::u16string& fileName,
                            std::chrono::seconds minimumAge = std::chrono::minutes(1));

// A file name as the file system takes it.
std::string NativeFileName(const std::u16string& fileName);
