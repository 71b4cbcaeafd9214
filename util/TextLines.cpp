// TextLines: a text file read a line at a time.
#include "TextLines.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "Platform.h"
#include "TextFile.h"

namespace {

constexpr size_t kBufferBytes = size_t{1} << 16;  // even, so that UTF-16 units stay whole

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

TTextLineReader::TTextLineReader(const std::u16string& fileName) : buffer_(kBufferBytes) {
    if (fileName.empty()) {
        return;
    }
    const std::string utf8 = NativeFileName(fileName);
    const std::filesystem::path path(std::u8string(utf8.begin(), utf8.end()));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return;
    }
    in_.open(path, std::ios::binary);
    ok_ = static_cast<bool>(in_);
    if (!ok_ || !Fill()) {
        return;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(buffer_.data());
    const size_t n = end_;
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF) {
        mark_.assign(buffer_.data(), 3);
    } else if (n >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF))) {
        mark_.assign(buffer_.data(), 2);
        unit_ = 2;
        bigEndian_ = s[0] == 0xFE;
    }
    pos_ = mark_.size();
}

// Reads the next part of the file once the buffer is used up; false at the end.
bool TTextLineReader::Fill() {
    if (pos_ < end_) {
        return true;
    }
    if (!ok_ || !in_.is_open()) {
        return false;
    }
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    end_ = static_cast<size_t>(in_.gcount());
    pos_ = 0;
    if (in_.bad()) {
        ok_ = false;
        end_ = 0;
    }
    return end_ > 0;
}

char16_t TTextLineReader::UnitAt(size_t at) const {
    const auto* s = reinterpret_cast<const unsigned char*>(buffer_.data() + at);
    if (unit_ == 1) {
        return s[0];
    }
    return static_cast<char16_t>(bigEndian_ ? (s[0] << 8) | s[1] : s[0] | (s[1] << 8));
}

// The first CR or LF from pos_ on, or end_. In UTF-8 and the legacy code page neither byte is
// ever part of a longer character.
size_t TTextLineReader::FindBreak() const {
    if (unit_ == 1) {
        const char* begin = buffer_.data() + pos_;
        const size_t n = end_ - pos_;
        const void* lf = std::memchr(begin, '\n', n);
        const size_t lfAt =
            lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : n;
        const void* cr = std::memchr(begin, '\r', lfAt);
        const size_t crAt =
            cr != nullptr ? static_cast<size_t>(static_cast<const char*>(cr) - begin) : lfAt;
        return pos_ + std::min(lfAt, crAt);
    }
    for (size_t at = pos_; at + 2 <= end_; at += 2) {
        const char16_t c = UnitAt(at);
        if (c == u'\r' || c == u'\n') {
            return at;
        }
    }
    return end_;
}

bool TTextLineReader::Next(size_t maxUnits, std::u16string& line) {
    line.clear();
    if (!Fill()) {
        return false;
    }
    // No encoding takes more than three bytes for a UTF-16 unit; the bytes of one unit more
    // keep a character cut at the end of the kept bytes out of the line.
    const size_t keep = maxUnits == 0 ? 0 : (maxUnits + 1) * 3 + 1;
    raw_ = mark_;
    while (Fill()) {
        const size_t at = FindBreak();
        const size_t room = keep + mark_.size() - std::min(keep + mark_.size(), raw_.size());
        raw_.append(buffer_.data() + pos_, std::min(at - pos_, room));
        pos_ = at;
        if (at == end_) {
            continue;
        }
        const bool cr = UnitAt(at) == u'\r';
        pos_ += unit_;
        if (cr && Fill() && pos_ + unit_ <= end_ && UnitAt(pos_) == u'\n') {
            pos_ += unit_;
        }
        break;
    }
    if (maxUnits == 0) {
        return true;
    }
    line = mark_.empty() ? Platform::DecodeAnsi(raw_) : DecodeTextBytes(raw_).text;
    if (line.size() > maxUnits) {
        const bool splitsPair =
            IsHighSurrogate(line[maxUnits - 1]) && IsLowSurrogate(line[maxUnits]);
        line.resize(splitsPair ? maxUnits - 1 : maxUnits);
    }
    return true;
}
