// FileBlocks: reading a file's bytes, whole or a block at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

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
