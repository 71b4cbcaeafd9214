// TextFile: reading and writing whole text files in the encodings the host and the dialog use.
// The header the library's callers include; each job has a file of its own:
//   TextDecode.h        the encoding of a text, and its bytes decoded into UTF-16
//   Utf8Codec.h         UTF-8 into and out of buffers
//   FileBlocks.h        a file's bytes, whole or a block at a time
//   TextBlockDecoder.h  a text in blocks, decoded a run of whole lines at a time
//   FileReplace.h       a whole file replaced safely, and stale temporary files removed
//   FilePath.h          file names as the file system takes them
#pragma once

#include "FileBlocks.h"
#include "FilePath.h"
#include "FileReplace.h"
#include "TextBlockDecoder.h"
#include "TextDecode.h"
#include "Utf8Codec.h"
