// PlatformWin: the platform layer on Windows, with the system's code page, locale and keyboard.
#ifdef _WIN32

#include "Platform.h"

#include <windows.h>

#include "PlatformNative.h"

namespace Platform {

std::u16string DecodeAnsi(std::string_view bytes) {
    std::u16string out;
    if (bytes.empty() || bytes.size() > 0x7FFFFFFF) {
        return out;
    }
    const int n = static_cast<int>(bytes.size());
    const int len = MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, nullptr, 0);
    if (len <= 0) {
        return out;
    }
    out.resize(static_cast<size_t>(len));
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), n, reinterpret_cast<wchar_t*>(out.data()), len);
    return out;
}

bool EncodeAnsi(std::u16string_view text, std::string& out) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    if (text.size() > 0x3FFFFFFF) {
        return false;
    }
    const auto* src = reinterpret_cast<const wchar_t*>(text.data());
    const int n = static_cast<int>(text.size());
    const int len = WideCharToMultiByte(CP_ACP, 0, src, n, nullptr, 0, nullptr, nullptr);
    if (len <= 0) {
        return false;
    }
    out.resize(static_cast<size_t>(len));
    if (WideCharToMultiByte(CP_ACP, 0, src, n, out.data(), len, nullptr, nullptr) != len) {
        out.clear();
        return false;
    }
    return true;
}

std::u16string UpperCaseLocale(std::u16string_view text) {
    if (text.empty() || text.size() > 0x7FFFFFFF) {
        return std::u16string(text);
    }
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

}  // namespace Platform

namespace Platform::Native {

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
