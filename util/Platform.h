// Platform: the few services the core takes from the operating system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace Platform {

// The legacy (ANSI) code page: CP932 on Linux, the system's ANSI code page on Windows.
// Bytes that do not decode become U+FFFD.
std::u16string DecodeAnsi(std::string_view bytes);
// Characters the code page cannot represent become its default character.
// Returns false when the conversion itself failed.
bool EncodeAnsi(std::u16string_view text, std::string& out);

// Upper-casing with the user's locale and linguistic casing rules.
std::u16string UpperCaseLocale(std::u16string_view text);

// The user's decimal separator, as FloatToText writes it.
char16_t DecimalSeparator();
// Replaces the separator taken from the user's settings (tests, callers with their own rules).
void SetDecimalSeparator(char16_t separator);

// Whether the Escape key is held down now. False unless a probe has been installed.
bool EscapeKeyDown();
// Installs the probe that EscapeKeyDown asks; an empty function restores "never pressed".
void SetEscapeProbe(std::function<bool()> probe);

}  // namespace Platform
