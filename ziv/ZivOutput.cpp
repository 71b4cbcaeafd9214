// ZivOutput: standard output written as it comes, files replaced whole.
#include "ziv/ZivOutput.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>
#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include "util/MyFunc.h"
#include "util/PlatformNative.h"
#include "util/TextFile.h"

namespace {

// The result is written in pieces of this size.
constexpr size_t kStreamPiece = size_t{1} << 20;
// Symbolic links followed to the file that is written, at most.
constexpr int kMaxLinks = 40;

void BinaryStdio() {
#ifdef _WIN32
    // The bytes are written and read as they are: no CR before each LF, no stop at Ctrl+Z.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
}

// Opens a file for writing bytes; with create, only if it does not exist yet.
std::FILE* OpenForWriting(const std::filesystem::path& path, bool create) {
#ifdef _WIN32
    const int flags = _O_WRONLY | _O_BINARY | (create ? _O_CREAT | _O_EXCL : 0);
    int fd = -1;
    if (_wsopen_s(&fd, path.c_str(), flags, _SH_DENYNO, _S_IREAD | _S_IWRITE) != 0) {
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, "wb");
#else
    const int flags = O_WRONLY | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "wb");
#endif
    if (f == nullptr) {
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
    }
    return f;
}

// Has the system put a file's bytes on the disk.
bool SyncFile(std::FILE* f) {
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return ::fsync(::fileno(f)) == 0;
#endif
}

}  // namespace

TZivOutput::TZivOutput(std::string path) : path_(std::move(path)) {
    if (path_ == "-") {
        stream_ = stdout;
        BinaryStdio();
        return;
    }
    if (path_.empty()) {
        throw TZivError("an empty output file name (- is standard output)");
    }
    OpenFile();
}

TZivOutput::TZivOutput(std::string* memory) : memory_(memory) {}

TZivOutput::TZivOutput(std::FILE* stream) : stream_(stream) {}

TZivOutput::~TZivOutput() {
    if (owned_ && stream_ != nullptr) {
        std::fclose(stream_);
    }
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
    }
}

void TZivOutput::OpenFile() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path given = fs::path(FromUtf8(path_));
    const fs::file_status st = fs::status(given, ec);
    if (fs::is_directory(st)) {
        throw TZivError(path_ + ": is a folder, not a file");
    }
    if (fs::is_character_file(st) || fs::is_fifo(st) || fs::is_socket(st)) {
        // A device or a pipe cannot be replaced: the result streams into it.
        stream_ = OpenForWriting(given, false);
        if (stream_ == nullptr) {
            throw TZivError(path_ + ": cannot write to it");
        }
        owned_ = true;
        return;
    }
    if (fs::exists(st) && !fs::is_regular_file(st)) {
        throw TZivError(path_ + ": not a regular file, a device or a FIFO");
    }
    // Symbolic links are followed (a link to a link too, up to a limit, and a link to a file
    // still to be made), so that the file they name is replaced and the link stays.
    fs::path target = given;
    for (int hops = 0; fs::is_symlink(fs::symlink_status(target, ec)); ++hops) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec || hops == kMaxLinks) {
            throw TZivError(path_ + ": a symbolic link that leads nowhere");
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    if (Platform::Native::IsReadOnlyFile(target)) {
        throw TZivError(path_ + ": the file is read-only");
    }
    for (unsigned attempt = 0; stream_ == nullptr && attempt < 16; ++attempt) {
        temp_ = TemporaryName(target);
        stream_ = OpenForWriting(temp_, true);
    }
    if (stream_ == nullptr) {
        temp_.clear();
        throw TZivError(path_ + ": cannot write the file");
    }
    owned_ = true;
    target_ = target;
}

void TZivOutput::Write(std::string_view bytes) {
    if (memory_ != nullptr) {
        memory_->append(bytes);
        return;
    }
    buf_.append(bytes);
    if (buf_.size() >= kStreamPiece) {
        Flush();
    }
}

void TZivOutput::Flush() {
    if (!buf_.empty() && std::fwrite(buf_.data(), 1, buf_.size(), stream_) != buf_.size()) {
        throw TZivError(stream_ == stdout ? std::string("cannot write to standard output")
                                          : path_ + ": cannot write the file");
    }
    buf_.clear();
}

void TZivOutput::Commit() {
    if (memory_ != nullptr) {
        return;
    }
    Flush();
    const std::string failed = stream_ == stdout ? std::string("cannot write to standard output")
                                                 : path_ + ": cannot write the file";
    if (std::fflush(stream_) != 0) {
        throw TZivError(failed);
    }
    if (!owned_) {
        return;
    }
    // The new file on the disk before it takes the old one's place.
    const bool synced = temp_.empty() || SyncFile(stream_);
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!synced || !closed) {
        throw TZivError(failed);
    }
    if (temp_.empty()) {
        return;
    }
    std::error_code ec;
#ifndef _WIN32
    // The new file keeps the permissions of the one it replaces.
    const std::filesystem::file_status old = std::filesystem::status(target_, ec);
    if (!ec && std::filesystem::is_regular_file(old)) {
        std::filesystem::permissions(temp_, old.permissions(), ec);
    }
#endif
    if (!Platform::Native::ReplaceFileWith(temp_, target_)) {
        throw TZivError(failed);
    }
    temp_.clear();
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
