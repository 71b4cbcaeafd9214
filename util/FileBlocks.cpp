// FileBlocks: reading a file's bytes, whole or a block at a time.
#include "FileBlocks.h"

#include <filesystem>
#include <system_error>

#include "FilePath.h"

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
        out.resize(old + kFileBlockBytes);
        in.read(out.data() + old, static_cast<std::streamsize>(kFileBlockBytes));
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
