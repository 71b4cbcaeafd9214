// Utf8Codec: UTF-8 into and out of the library's buffers, for its own readers and writers.
// The functions a program outside the library uses are in Utf8.h.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "Utf8.h"

// Appends the UTF-8 bytes of text to out; a lone surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);

// Decodes UTF-8 into base, which has room for bytes.size() units; returns the units written.
// Each malformed sequence becomes one U+FFFD per maximal subpart: the lead byte and the
// continuation bytes that were valid so far; decoding resumes at the offending byte.
size_t DecodeUtf8To(std::string_view bytes, char16_t* base);

// Appends the decoded bytes to out, by the rules of DecodeUtf8To.
void DecodeUtf8(std::string_view bytes, std::u16string& out);
