// TextLines: a text file read a line at a time.
#include "TextLines.h"

#include <algorithm>
#include <string_view>

#include "Utf16.h"

namespace {

constexpr size_t kBufferBytes = size_t{1} << 16;  // even, so that UTF-16 units stay whole

bool IsUtf16(TTextEncoding encoding) {
    return encoding == TTextEncoding::Utf16LE || encoding == TTextEncoding::Utf16BE;
}

}  // namespace

TTextLineReader::TTextLineReader(const std::u16string& fileName) : buffer_(kBufferBytes) {
    uintmax_t size = kUnknownSize;
    ok_ = OpenFileForReading(fileName, in_, size);
    if (!ok_) {
        return;
    }
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (in_.bad()) {
        ok_ = false;
        return;
    }
    const std::string_view head(buffer_.data(), static_cast<size_t>(in_.gcount()));
    size_t mark = 0;
    encoding_ = DetectEncoding(head, mark);
    const std::string_view text = head.substr(mark);
    if (IsUtf16(encoding_)) {
        units_ = DecodeText(text, encoding_);
        unitLines_.Feed(units_);
    } else {
        byteLines_.Feed(text);
    }
}

// Hands the next part of the file to the splitter; false at the end of the file.
bool TTextLineReader::Fill() {
    if (!ok_ || !in_) {
        return false;
    }
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    const auto got = static_cast<size_t>(in_.gcount());
    if (in_.bad()) {
        ok_ = false;
        return false;
    }
    if (got == 0) {
        return false;
    }
    const std::string_view part(buffer_.data(), got);
    if (IsUtf16(encoding_)) {
        // A whole buffer is an even number of bytes; only the file's last part may end in half
        // a unit.
        units_ = DecodeText(part, encoding_);
        unitLines_.Feed(units_);
    } else {
        byteLines_.Feed(part);
    }
    return true;
}

// Keeps the first keep units of the next line in kept; false at the end of the file.
template <class Unit>
bool TTextLineReader::TakeLine(LineBreaks::TLineSplitter<Unit>& lines,
                               std::basic_string<Unit>& kept, size_t keep) {
    kept.clear();
    bool any = false;
    std::basic_string_view<Unit> run;
    bool ended = false;
    for (;;) {
        if (!lines.Next(run, ended)) {
            if (!Fill()) {
                return any;
            }
            continue;
        }
        any = true;
        kept.append(run.substr(0, keep - std::min(keep, kept.size())));
        if (ended) {
            return true;
        }
    }
}

bool TTextLineReader::Next(size_t maxUnits, std::u16string& line) {
    line.clear();
    if (IsUtf16(encoding_)) {
        // One unit more than asked shows whether the cut splits a pair.
        if (!TakeLine(unitLines_, line, maxUnits == 0 ? 0 : maxUnits + 1)) {
            return false;
        }
    } else {
        // No encoding takes more than three bytes for a UTF-16 unit; the bytes of one unit
        // more keep a character cut at the end of the kept bytes out of the line.
        if (!TakeLine(byteLines_, raw_, maxUnits == 0 ? 0 : (maxUnits + 1) * 3 + 1)) {
            return false;
        }
        if (maxUnits > 0) {
            line = DecodeText(raw_, encoding_);
        }
    }
    line.resize(Utf16::CutWhole(line, maxUnits).size());
    return true;
}
