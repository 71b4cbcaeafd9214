// TextLines: a text file read a line at a time, through a small buffer, so that a file of any
// size costs no more memory than the lines kept of it.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include "LineBreaks.h"
#include "TextFile.h"

class TTextLineReader {
public:
    // Opens fileName if it is a regular file (a pipe would wait for a writer).
    explicit TTextLineReader(const std::u16string& fileName);

    // False when the file could not be opened or a read failed.
    bool Ok() const { return ok_; }

    // The next line without its line break, at most its first maxUnits UTF-16 units (one less
    // where the cut would split a surrogate pair); the rest of the line is skipped undecoded.
    // Lines are decoded by the file's byte-order mark as DecodeTextBytes decodes a whole file,
    // and end where LineBreaks ends them. False at the end of the file.
    bool Next(size_t maxUnits, std::u16string& line);

private:
    bool Fill();
    template <class Unit>
    bool TakeLine(LineBreaks::TLineSplitter<Unit>& lines, std::basic_string<Unit>& kept,
                  size_t keep);

    std::ifstream in_;
    std::vector<char> buffer_;
    TTextEncoding encoding_ = TTextEncoding::Ansi;
    bool ok_ = false;
    // UTF-8 and the legacy code page are cut into lines as bytes, and only the bytes kept of
    // a line are decoded; UTF-16 is decoded a buffer at a time and cut into lines as units.
    LineBreaks::TLineSplitter<char> byteLines_;
    LineBreaks::TLineSplitter<char16_t> unitLines_;
    std::u16string units_;
    std::string raw_;
};
