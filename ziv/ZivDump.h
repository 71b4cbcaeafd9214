// ZivDump: the whole model as JSON (the format is described in docs/ziv-json.md).
#pragma once

#include <string_view>

#include "exchange/DavGaibu.h"
#include "ziv/ZivOutput.h"

// The format's name and version, written first and checked by the reader.
inline constexpr std::string_view kZivFormat = "r407-model";
inline constexpr int kZivFormatVersion = 1;

// encoding names the encoding the model's file was read in ("utf8", "utf16le", "utf16be",
// "cp932"); it is written for information only.
void DumpModel(const TJGdata& jg, std::string_view encoding, TZivOutput& out);
