// PlatformPosixFiles: the file services of the platform layer on Linux and other POSIX systems.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "PlatformNative.h"

namespace Platform::Native {

namespace {

// close() that is not repeated after an interruption: on Linux the descriptor is gone then.
bool CloseFile(int fd) {
    return ::close(fd) == 0 || errno == EINTR;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = CloseFile(fd) && ok;
    if (!ok) {
        ::unlink(path.c_str());
    }
    return ok;
}

bool CreateEmptyFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd >= 0 && CloseFile(fd);
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// A rename replaces the target even while others have it open; nothing to wait for. The
// folder is flushed afterwards so that the new entry survives a power loss; a folder that
// cannot be opened or flushed (some network and virtual file systems) does not undo the
// replacement that has already happened.
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec) {
        return false;
    }
    std::filesystem::path folder = to.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        CloseFile(fd);
    }
    return true;
}

std::filesystem::path ProgramPath() {
    // Linux names the running program's file in /proc; a system without it says nothing.
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self;
}

}  // namespace Platform::Native

#endif  // _WIN32
