// TextLines: a text file read a line at a time, through a small buffer, so that a file of any
// size costs no more memory than the lines kept of it.
#pragma once

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

class TTextLineReader {
public:
    // Opens fileName if it is a regular file (a pipe would wait for a writer).
    explicit TTextLineReader(const std::u16string& fileName);

    // False when the file could not be opened or a read failed.
    bool Ok() const { return ok_; }

    // The next line without its line break, at most its first maxUnits UTF-16 units (one less
    // where the cut would split a surrogate pair); the rest of the line is skipped undecoded.
    // Lines are decoded by the file's byte-order mark as DecodeTextBytes decodes a whole file,
    // and end where ForEachLine ends them. False at the end of the file.
    bool Next(size_t maxUnits, std::u16string& line);

private:
    bool Fill();
    char16_t UnitAt(size_t at) const;
    size_t FindBreak() const;

    std::ifstream in_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    std::string mark_;  // the byte-order mark, empty for the legacy code page
    size_t unit_ = 1;   // bytes per code unit: 2 in UTF-16
    bool bigEndian_ = false;
    bool ok_ = false;
    std::string raw_;
};
