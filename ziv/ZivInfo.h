// ZivInfo: a summary of a host file for people: encoding, settings, current attributes,
// picked points and the count of each entity kind.
#pragma once

#include <optional>
#include <string>

#include "exchange/DavGaibu.h"

std::string InfoText(const TJGdata& jg, const std::string& encoding);

// Reads the host file at path (standard input for "-") and returns its summary, or nothing
// when not one of its lines is one the host writes (a binary, a JSON file): not an exchange
// file. Throws TZivError when it cannot be read.
std::optional<std::string> InfoOfFile(const std::string& path);
