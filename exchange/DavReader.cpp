// DavReader: the reader's passes over a host file: the counting pass and the list sizing, then
// the parse of the decoded lines (each line: DavGaibuParse.cpp), and the lists filled up to
// whole blocks at the end.
#include "exchange/DavReader.h"

#include <algorithm>  // for std::max
#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavKinds.h"
#include "exchange/DavLimits.h"
#include "util/MyFunc.h"
#include "util/TextFile.h"

namespace DavReader {

namespace {

// Fills the last block of every entity list and of the drawing order with empty records: the
// reader's appends grow a full list by the one record they add (GrowAppend, tight).
void PadToBlocks(TJGdata& jg) {
    DavKinds::ForEachKind([&jg](auto kind) {
        using K = decltype(kind);
        auto& list = K::ListOf(jg);
        list.resize(
            std::max(list.size(), TJGdata::BlockLength(TJGdata::CountIn(K::CountOf(jg), list))));
    });
    jg.EntNo.resize(
        std::max(jg.EntNo.size(), TJGdata::BlockLength(TJGdata::CountIn(jg.EntN, jg.EntNo))));
}

}  // namespace

TReader::TReader(TJGdata& model) : model_(model), sink_(model.ReadSink()) {}

// The file is read twice through one block's buffer: the first pass reads it whole and counts
// its entities, so that the lists are sized before the second pass parses it; no more than a
// block of the file's bytes is in memory at any time.
TDavOpenFault TReader::ReadFile(const std::u16string& fn) {
    if (!ExistsFile(fn)) {
        return TDavOpenFault::Missing;
    }
    TFileBlocks file;
    if (!file.Open(fn)) {
        return TDavOpenFault::Unreadable;
    }
    if (file.SizeHint() != kUnknownSize && file.SizeHint() > DavLimits::kMaxFileBytes) {
        return TDavOpenFault::TooLarge;
    }
    TListReserver reserver;
    if (!reserver.FeedFile(fn, file) || !file.Rewind()) {
        return reserver.Refusal() != TDavOpenFault::None ? reserver.Refusal()
                                                         : TDavOpenFault::Unreadable;
    }
    reserver.Reserve(model_);
    TTextBlockDecoder text(file);
    ReadText(text);
    // A read that fails only on the second pass (the disk, or another program cutting the
    // file short) leaves the lines read before it.
    return file.Failed() ? TDavOpenFault::Unreadable : TDavOpenFault::None;
}

TDavOpenFault TReader::ReadBytes(std::string_view bytes) {
    if (bytes.size() > DavLimits::kMaxFileBytes) {
        return TDavOpenFault::TooLarge;
    }
    TListReserver reserver;
    reserver.Feed(bytes);
    if (reserver.Refusal() != TDavOpenFault::None) {
        return reserver.Refusal();
    }
    reserver.Reserve(model_);
    TTextBlockDecoder text(bytes);
    ReadText(text);
    return TDavOpenFault::None;
}

void TReader::ReadLines(std::u16string_view lines) {
    for (size_t i = 0; i < lines.size();) {
        i = ParseLine(lines, i);
    }
    PadToBlocks(model_);
}

// Every line of the text, first to last, each cut into tokens and dispatched as it is found;
// the tokenizer finds where each line ends. An empty line is ignored, so a line break at the
// very end adds nothing. The decoder's pieces are whole lines and never cut a CR LF pair.
// Records are built once, in place, in lists sized beforehand; the blocks are filled up at the
// end.
void TReader::ReadText(TTextBlockDecoder& text) {
    model_.MojiCode = text.Encoding() == TTextEncoding::Utf8;
    std::u16string_view piece;
    while (text.Next(piece)) {
        for (size_t i = 0; i < piece.size();) {
            i = ParseLine(piece, i);
        }
    }
    PadToBlocks(model_);
    // The token storage may hold a very long line; it is not needed after reading.
    std::vector<std::u16string_view>().swap(tokens_);
    std::u16string().swap(joined_);
}

}  // namespace DavReader
