// Platform: the few services the core takes from the operating system.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace Platform {

// The legacy (ANSI) code page: Windows code page 932 on every system, as a Japanese Windows
// reads and writes it (CodePage.cpp). Bytes that do not decode become U+FFFD, one for each
// byte or pair, and never take a line break with them.
std::u16string DecodeAnsi(std::string_view bytes);
// Characters the code page cannot represent become its default character "?", one for each
// character. Returns false when the conversion itself failed.
bool EncodeAnsi(std::u16string_view text, std::string& out);

// Upper-casing for comparisons that ignore case, the same on every system: each code point
// becomes its simple (one-to-one) upper-case mapping of the Unicode character database, so
// the length never changes ("ß" and "ﬁ" stay as they are, "ǆ" gives "Ǆ").
std::u16string UpperCaseLocale(std::u16string_view text);

// The user's decimal separator, as FloatToText writes it.
char16_t DecimalSeparator();
// Replaces the separator taken from the user's settings (tests, callers with their own rules).
void SetDecimalSeparator(char16_t separator);

// A hint that a large buffer is about to be filled from its start: where the system has large
// pages on request (Linux), the buffer is backed by them, so that filling it takes one page
// fault for each 2 MB instead of one for each 4 KB. Never changes the buffer or its contents;
// nothing elsewhere.
void AdviseLargeBuffer(void* data, std::size_t bytes);

// Whether the Escape key is held down now. False unless a probe has been installed.
bool EscapeKeyDown();
// Installs the probe that EscapeKeyDown asks; an empty function restores "never pressed".
void SetEscapeProbe(std::function<bool()> probe);

}  // namespace Platform
