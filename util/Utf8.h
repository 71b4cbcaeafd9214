/// \file
/// Conversion between the library's UTF-16 texts and UTF-8 (target r407::util): for a
/// program's own messages, command-line arguments and files in UTF-8.
#pragma once

#include <string>
#include <string_view>

/// @name UTF-8
///@{
/// The UTF-8 bytes of text. A lone half of a surrogate pair, which UTF-8 cannot carry,
/// becomes U+FFFD (EF BF BD); every other text comes back unchanged through FromUtf8.
std::string ToUtf8(std::u16string_view text);
/// The UTF-16 text of UTF-8 bytes. Each malformed sequence (a stray continuation byte, a cut
/// or overlong sequence, an encoded surrogate, a value above U+10FFFF) becomes one U+FFFD and
/// decoding goes on after it, so every input gives a text. A byte-order mark at the start is
/// kept as U+FEFF; NUL bytes are kept as NUL characters.
std::u16string FromUtf8(std::string_view bytes);
///@}
