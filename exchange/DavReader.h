// DavReader: the reader of the host's exchange file as a unit of its own. TJGdata::OpenTempFile
// and OpenTempBytes hand their file to a TReader, which fills the model through its public
// members only. Internal to the exchange library; not installed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavGaibu.h"
#include "exchange/DavGaibuReader.h"

class TTextBlockDecoder;

namespace DavReader {

// Reads a host file into a model in two passes over one block's buffer: the counting pass
// (TListReserver) sizes the entity lists from what the grammar's rows will make of the lines,
// then the parse cuts every line into tokens and hands it to the handler of the first row that
// takes it (DavGaibuReader.h). The reader owns the token storage and the row cache, and tells
// the model's observer (TJGdata::ReadSink, taken when the reader is made) of every line it
// reads and of every line it skips or mends.
class TReader {
public:
    explicit TReader(TJGdata& model);
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    // Reads the file fn. A fault other than None means that it was not read, and the model is
    // as it was; only Unreadable after a failure on the second pass leaves the lines read
    // before it.
    TDavOpenFault ReadFile(const std::u16string& fn);
    // Reads a whole file's bytes, under the same limits.
    TDavOpenFault ReadBytes(std::string_view bytes);
    // Parses decoded lines, each ended by a CR LF pair, a lone LF or a lone CR, or by the end of
    // the text, as the next lines of a file: the state that lines leave for the lines after
    // them (current attributes, an open polyline group, a pending dimension) carries from one
    // call to the next. No counting pass; the lists grow as they are filled and are filled up
    // to whole blocks at the end of each call. The encoding flag is left as it is.
    void ReadLines(std::u16string_view lines);

private:
    // Parses every line of the decoded file, then releases the token storage.
    void ReadText(TTextBlockDecoder& text);
    // Cuts the line that starts at text[i] into tokens and hands it to its row; returns the
    // index after its line break, or the text's length (DavGaibuParse.cpp).
    size_t ParseLine(std::u16string_view text, size_t i);

    TJGdata& model_;
    TDavReadSink* sink_;
    // Views into the line, and the one token that had to be joined because a double quote was
    // dropped from its middle.
    std::vector<std::u16string_view> tokens_;
    std::u16string joined_;
    TRowCache rows_;
};

}  // namespace DavReader
