// PlatformNative: what each operating system's implementation gives the portable platform layer.
#pragma once

#include <filesystem>
#include <functional>

namespace Platform::Native {

// The character of a double-byte code of code page 932 (lead byte 81-9F or E0-FC, second byte
// 40-7E or 80-FC) as the system's converter reads it; U+FFFD when the code has none.
char16_t DecodeAnsiPair(unsigned char lead, unsigned char trail);

// Renames the file from over the file to, which it replaces. On Windows another program (a
// virus scanner, an indexer, the host reading its file) may hold the target open for a moment;
// the rename is then retried for about a second. False when it fails; from is left in place.
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to);
// The decimal separator of the user's regional settings.
char16_t UserDecimalSeparator();
// The Escape-key probe used until another one is installed; empty when the system has none.
std::function<bool()> DefaultEscapeProbe();

}  // namespace Platform::Native
