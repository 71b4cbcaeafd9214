// ZivInfo: a summary of a host file for people: encoding, settings, current attributes,
// picked points and the count of each entity kind.
#pragma once

#include <string>

#include "exchange/DavGaibu.h"

std::string InfoText(const TJGdata& jg, const std::string& encoding);
