/// \file
/// Platform: the few services the library takes from the operating system (target r407::util).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

/// The platform layer: ICU and X on Linux, the Win32 API on Windows.
namespace Platform {

/// The legacy (ANSI) code page: Windows code page 932 on every system, as a Japanese Windows
/// reads and writes it. Bytes that do not decode become U+FFFD, one for each
/// byte or pair, and never take a line break with them.
std::u16string DecodeAnsi(std::string_view bytes);
/// Characters the code page cannot represent become its default character "?", one for each
/// character (a lone surrogate is one too). The tables are the program's own once built, so
/// the conversion cannot fail: every text gives bytes.
std::string EncodeAnsi(std::u16string_view text);

/// Upper-casing for comparisons that ignore case, the same on every system: each code point
/// becomes its simple (one-to-one) upper-case mapping of the Unicode character database, so
/// the length never changes ("ß" and "ﬁ" stay as they are, "ǆ" gives "Ǆ").
std::u16string UpperCaseLocale(std::u16string_view text);

/// The folder that holds the running program, with a separator at its end, so that
/// `ProgramFolder() + u"ZIV_TEMP.TXT"` names the file the host puts beside the program. The
/// program's own folder, not the working folder (the host starts a program from anywhere);
/// symbolic links to the program are followed to its real place. Empty when the system does
/// not tell (then a name joined to it is taken in the working folder).
std::u16string ProgramFolder();

/// The user's decimal separator, as FloatToText writes it: the regional settings' (Windows),
/// ICU's default locale's (Linux: from LC_ALL, LC_MESSAGES or LANG); a full stop when either has a
/// separator of more than one character.
char16_t DecimalSeparator();
/// Replaces the separator taken from the user's settings (tests, callers with their own rules).
void SetDecimalSeparator(char16_t separator);

/// A hint that a large buffer is about to be filled from its start: where the system has large
/// pages on request (Linux), the buffer is backed by them, so that filling it takes one page
/// fault for each 2 MB instead of one for each 4 KB. Never changes the buffer or its contents;
/// nothing elsewhere.
void AdviseLargeBuffer(void* data, std::size_t bytes);

/// Whether the Escape key is held down now: the installed probe's answer, at first the
/// system's own (the X server's keyboard on Linux, GetAsyncKeyState on Windows; never
/// pressed without either).
bool EscapeKeyDown();
/// Installs the probe that EscapeKeyDown asks, for tests and for programs with their own
/// keyboard; an empty function means "never pressed".
void SetEscapeProbe(std::function<bool()> probe);

}  // namespace Platform
