// FileReplace: replacing a whole file so that no reader ever sees it half-written, and
// clearing away what an interrupted replacement left behind.
#include "FileReplace.h"

#include <algorithm>  // for std::all_of
#include <atomic>
#include <cstdint>
#include <random>
#include <system_error>

#include "FilePath.h"
#include "PlatformNative.h"

namespace {

// How many temporary names a writer tries before it gives up.
constexpr unsigned kNameAttempts = 16;

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

// A folder in the file's place is never replaced, nor a file that its owner or the host
// marked read-only.
bool MayReplace(const std::filesystem::path& target) {
    std::error_code ec;
    return !std::filesystem::is_directory(target, ec) &&
           !Platform::Native::IsReadOnlyFile(target);
}

// A temporary name beside target that no file takes yet; false when every attempt found one.
bool FreeTemporaryName(const std::filesystem::path& target, std::filesystem::path& temp) {
    std::error_code ec;
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
        temp = TemporaryName(target, attempt);
        if (!std::filesystem::exists(std::filesystem::symlink_status(temp, ec))) {
            return true;
        }
    }
    return false;
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

bool WriteFileReplacing(const std::u16string& fileName, std::string_view bytes) {
    if (fileName.empty()) {
        return false;
    }
    const std::filesystem::path target = ToPath(fileName);
    std::filesystem::path temp;
    if (!MayReplace(target) || !FreeTemporaryName(target, temp)) {
        return false;
    }
    // Created only if the name is still free; on failure nothing of it is left.
    if (!Platform::Native::WriteNewFileDurably(temp, bytes)) {
        return false;
    }
#ifndef _WIN32
    // The new file keeps the permissions of the one it replaces. (On Windows the replace
    // operation keeps the old file's attributes itself.)
    std::error_code ec;
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
    std::filesystem::path probe;
    if (!MayReplace(target) || !FreeTemporaryName(target, probe) ||
        !Platform::Native::CreateEmptyFile(probe)) {
        return false;
    }
    // A probe that cannot be removed stays behind until a later start removes it as a stale
    // temporary file.
    std::error_code ec;
    return std::filesystem::remove(probe, ec) && !ec;
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
