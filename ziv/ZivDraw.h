// ZivDraw: the picture of ziv draw: a host file, or a program's output over the host file it
// answered.
#pragma once

#include <cstddef>
#include <string>

#include "exchange/DavGaibu.h"

// The output of a program, read as a model, drawn as the host would show it: its texts of a
// text type 1..10 take that type's sizes and colour from the host's table, and the host's
// colour table and scales stand for its own defaults.
void TakeHostStyle(const TJGdata& host, TJGdata& output);

// The SVG of the file (standard input for "-"), the longer side size pixels. With a host
// file, that file is drawn beneath it, dimmed: what the program was given. *leftOut is the
// number of primitives left out because a coordinate is not a finite number. Throws
// TZivError when a file cannot be read.
std::string DrawFile(const std::string& file, const std::string& host, int size,
                     std::size_t& leftOut);
