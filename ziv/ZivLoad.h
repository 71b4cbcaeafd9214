// ZivLoad: a host file read into a model, and the name of its encoding.
#pragma once

#include <string>
#include <string_view>

#include "exchange/DavGaibu.h"

// "utf8", "utf16le", "utf16be" or "cp932", chosen by byte-order mark as the reader does.
std::string EncodingName(std::string_view bytes);
// The same for people: "UTF-8 with byte-order mark" and so on.
std::string EncodingLabel(std::string_view name);

// Reads the file (or standard input for "-") into jg as the library reads it, and returns
// the name of its encoding. Throws TZivError when the file is missing, is not a regular file,
// cannot be read, or breaks one of the reader's limits (DavLimits::kMaxFileBytes,
// kMaxLineBytes); standard input is refused as soon as it breaks one, so that no more than
// the largest host file is ever held.
std::string LoadHostFile(const std::string& path, TJGdata& jg);
