// ZivWriteBack: a model's write-back, as ziv write sends it: the library's own write-back, its
// command lines encoded and written a piece at a time as they are made, each let go once
// written.
#pragma once

#include <cstddef>

#include "exchange/DavGaibu.h"
#include "ziv/ZivOutput.h"

// Writes jg back (S_Init, then S_EntAllp, or S_EntAll when plain, with no overrides) into out:
// the bytes of jg.TempFileBytes(), held at most linesPerPiece command lines at a time. Empties
// jg's entity lists and command buffer. The Escape key never stops it: it takes the key's probe
// away for the rest of the process.
void WriteModelBack(TJGdata& jg, bool plain, TZivOutput& out, std::size_t linesPerPiece = 65536);
