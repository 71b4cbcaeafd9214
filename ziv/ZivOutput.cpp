// ZivOutput: standard output written as it comes, files replaced whole.
#include "ziv/ZivOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "util/MyFunc.h"
#include "util/TextFile.h"

namespace {

// Standard output is flushed in pieces of this size.
constexpr size_t kStdoutPiece = size_t{1} << 20;

void BinaryStdio() {
#ifdef _WIN32
    // The bytes are written and read as they are: no CR before each LF, no stop at Ctrl+Z.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
}

}  // namespace

TZivOutput::TZivOutput(std::string path)
    : path_(std::move(path)), stream_(path_.empty() || path_ == "-" ? stdout : nullptr) {
    if (stream_ != nullptr) {
        BinaryStdio();
    }
}

TZivOutput::TZivOutput(std::string* memory) : stream_(nullptr), memory_(memory) {}

TZivOutput::TZivOutput(std::FILE* stream) : stream_(stream) {}

void TZivOutput::Write(std::string_view bytes) {
    if (memory_ != nullptr) {
        memory_->append(bytes);
        return;
    }
    buf_.append(bytes);
    if (stream_ != nullptr && buf_.size() >= kStdoutPiece) {
        Flush();
    }
}

void TZivOutput::Flush() {
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), stream_) != buf_.size()) {
        throw TZivError("cannot write to standard output");
    }
    buf_.clear();
}

void TZivOutput::Commit() {
    if (memory_ != nullptr) {
        return;
    }
    if (stream_ != nullptr) {
        Flush();
        if (std::fflush(stream_) != 0) {
            throw TZivError("cannot write to standard output");
        }
        return;
    }
    if (!WriteFileReplacing(FromUtf8(path_), buf_)) {
        throw TZivError(path_ + ": cannot write the file");
    }
    buf_.clear();
}

namespace {

// The checks of an input file that come before reading it.
std::u16string InputName(const std::string& path) {
    const std::u16string name = FromUtf8(path);
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(name, ec);
    if (std::filesystem::is_directory(status)) {
        throw TZivError(path + ": is a folder, not a file");
    }
    // A pipe or a device would be waited on or read without end: only "-" is read as a stream.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw TZivError(path + ": not a regular file");
    }
    if (!ExistsFile(name)) {
        throw TZivError(path + ": no such file");
    }
    return name;
}

}  // namespace

TZivInput::TZivInput(const std::string& path) {
    if (path == "-") {
        BinaryStdio();
        stdin_ = &std::cin;
        return;
    }
    file_.open(std::filesystem::path(InputName(path)), std::ios::binary);
    if (!file_.is_open()) {
        throw TZivError(path + ": cannot read the file");
    }
}

std::string ReadInput(const std::string& path) {
    std::string bytes;
    if (path == "-") {
        BinaryStdio();
        char piece[65536];
        size_t n = 0;
        while ((n = std::fread(piece, 1, sizeof piece, stdin)) > 0) {
            bytes.append(piece, n);
        }
        if (std::ferror(stdin)) {
            throw TZivError("cannot read standard input");
        }
        return bytes;
    }
    const std::u16string name = InputName(path);
    if (!ReadFileBytes(name, bytes)) {
        throw TZivError(path + ": cannot read the file");
    }
    return bytes;
}
