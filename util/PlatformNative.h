// PlatformNative: what each operating system's implementation gives the portable platform layer.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace Platform::Native {

// The character of a double-byte code of code page 932 (lead byte 81-9F or E0-FC, second byte
// 40-7E or 80-FC) as the system's converter reads it; U+FFFD when the code has none.
char16_t DecodeAnsiPair(unsigned char lead, unsigned char trail);

// Creates the file, which must not exist yet, writes the bytes and has the system put them on
// the disk before it returns (fsync, FlushFileBuffers), so that a power loss after a
// replacement cannot leave an empty or half-written file in the old one's place. False when
// any step fails; a file it created is then removed again.
bool WriteNewFileDurably(const std::filesystem::path& path, std::string_view bytes);
// Creates an empty file, which must not exist yet, without waiting for the disk: a probe of
// whether the folder takes new files. False when it cannot be created.
bool CreateEmptyFile(const std::filesystem::path& path);
// Whether the file is marked read-only: on Windows its read-only attribute, elsewhere no
// write permission in its mode bits for anyone (as "chmod a-w" leaves it), whoever runs the
// program. A missing file is not read-only.
bool IsReadOnlyFile(const std::filesystem::path& path);
// Puts the file from in the place of the file to, which keeps what was set on the old file:
// on Windows its attributes (hidden, system, archive), elsewhere its permissions (the caller
// copies them). On Windows another program (a virus scanner, an indexer, the host reading
// its file) may hold the target open for a moment; the move is then retried for about a
// second. Elsewhere a rename, whose folder entry is then flushed to the disk as well. False
// when it fails; from is then left in place.
bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to);
// The full path of the running program's file; empty when the system does not say.
std::filesystem::path ProgramPath();
// The decimal separator of the user's regional settings.
char16_t UserDecimalSeparator();
// The Escape-key probe used until another one is installed; empty when the system has none.
std::function<bool()> DefaultEscapeProbe();

}  // namespace Platform::Native
