// ZivWriteBackNote: what the library's write-back does with an entity of a model, for audit
// (entities read from a host file) and write (entities read from JSON).
#pragma once

#include "exchange/DavGaibu.h"

// Nothing (nullptr) when the write-back sends the entity as it is; else why it drops or
// changes it, e.g. "a line of no length: the write-back drops it".
const char* WriteBackNote(const TJGdata& jg, TDavEntNo en);
