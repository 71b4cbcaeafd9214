// PlatformWin: the platform layer on Windows, with the system's code page 932, locale and
// keyboard.
#ifdef _WIN32

#include "Platform.h"

#include <windows.h>

#include <string_view>

#include "PlatformNative.h"

namespace Platform {

std::u16string UpperCaseLocale(std::u16string_view text) {
    if (text.empty() || text.size() > 0x7FFFFFFF) {
        return std::u16string(text);
    }
    // Linguistic casing maps each code point to its simple upper case ("ß" stays, Turkish
    // and Azeri give "İ" for "i"); without it Windows leaves "µ", "ǅ", "ς" and others alone.
    constexpr DWORD kFlags = LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING;
    const auto* src = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    const int len =
        LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n, nullptr, 0, nullptr, nullptr, 0);
    if (len <= 0) {
        return std::u16string(text);
    }
    std::u16string out(static_cast<size_t>(len), u'\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, kFlags, src, n, reinterpret_cast<wchar_t*>(out.data()),
                  len, nullptr, nullptr, 0);
    return out;
}

// Large pages on Windows need a privilege that users do not hold; ordinary pages serve.
void AdviseLargeBuffer(void*, std::size_t) {}

}  // namespace Platform

namespace Platform::Native {

char16_t DecodeAnsiPair(unsigned char lead, unsigned char trail) {
    // Code page 932 whatever the system's ANSI code page; with MB_ERR_INVALID_CHARS a code
    // without a character fails instead of giving U+30FB.
    constexpr UINT kCodePage = 932;
    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    wchar_t out[2] = {};
    const int len = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, 2, out, 2);
    return len == 1 ? static_cast<char16_t>(out[0]) : char16_t{0xFFFD};
}

bool WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        // WriteFile takes a 32-bit count: large buffers go in pieces of 1 GiB.
        constexpr size_t kPiece = size_t{1} << 30;
        const DWORD want = static_cast<DWORD>(bytes.size() < kPiece ? bytes.size() : kPiece);
        DWORD written = 0;
        ok = WriteFile(file, bytes.data(), want, &written, nullptr) != 0 && written > 0;
        bytes.remove_prefix(written);
    }
    ok = ok && FlushFileBuffers(file) != 0;
    ok = CloseHandle(file) != 0 && ok;
    if (!ok) {
        DeleteFileW(path.c_str());
    }
    return ok;
}

bool CreateEmptyFile(const std::filesystem::path& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file) != 0;
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

namespace {

// The attributes a user or the host may set on a file that its replacement takes over.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

// A move over the target, with the target's attributes given to the new file first. (The
// system's ReplaceFileW would keep them itself, but wine's version leaves a backup "rf*.tmp"
// beside the file whenever a reader holds it open, and keeps no attributes.)
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to) {
    const DWORD old = GetFileAttributesW(to.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesW(from.c_str(), (old & kKeptAttributes) != 0 ? old & kKeptAttributes
                                                                       : FILE_ATTRIBUTE_NORMAL);
    }
    // About a second in short steps: long enough for a scanner's look at a small file, short
    // enough that the user does not wait on a file that stays locked.
    constexpr int kAttempts = 40;
    constexpr DWORD kPauseMs = 25;
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        // A file held open without shared deletion gives a sharing violation; one that is
        // being deleted or is opened for a moment by the system, access denied.
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                          error == ERROR_ACCESS_DENIED;
        if (!held || attempt == kAttempts) {
            return false;
        }
        Sleep(kPauseMs);
    }
}

std::filesystem::path ProgramPath() {
    // The path may be longer than MAX_PATH: the buffer doubles until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            return std::filesystem::path(path);
        }
        if (path.size() >= 0x8000) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

char16_t UserDecimalSeparator() {
    wchar_t buf[8] = {};
    const int len = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8);
    // The setting may hold several characters; only a single one is usable.
    return len == 2 ? static_cast<char16_t>(buf[0]) : u'.';
}

std::function<bool()> DefaultEscapeProbe() {
    return [] { return (GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0; };
}

}  // namespace Platform::Native

#endif  // _WIN32
