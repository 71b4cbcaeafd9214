// HostEncoder: UTF-8 text turned into the bytes of a host file in one of its encodings.
#pragma once

#include <string>
#include <string_view>

#include "hostgen/HostGen.h"

// The byte-order mark the file starts with; empty for the encodings without one.
std::string HostFileMark(THostEncoding encoding);

// Appends text (UTF-8) to out in the encoding, without a mark. Text may be given in pieces
// of whole characters.
void AppendHostText(std::string& out, std::string_view text, THostEncoding encoding);
