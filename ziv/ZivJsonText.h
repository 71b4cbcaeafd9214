// ZivJsonText: the pieces of JSON text the dump writes: strings, numbers and names. Written by
// hand rather than through a document, so that a model of a million entities streams out
// without being held a second time.
#pragma once

#include <string>
#include <string_view>

namespace ZivJson {

// A JSON string of UTF-16 text: UTF-8, a lone surrogate as U+FFFD, with the escapes JSON needs.
void AppendString(std::string& out, std::u16string_view text);
void AppendString(std::string& out, std::string_view utf8);

// A real in its shortest form that reads back to the same value. Values that JSON has no
// number for are the strings "inf", "-inf" and "nan"; negative zero is -0.0.
void AppendNumber(std::string& out, double value);
void AppendNumber(std::string& out, int value);

}  // namespace ZivJson
