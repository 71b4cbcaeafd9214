// ZivAudit: the reader's own findings through its observer, the encoding of each line checked
// against the file's encoding, and the write-back's rules applied to each entity read.
#include "ziv/ZivAudit.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <istream>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "exchange/DavReadSink.h"
#include "exchange/DavRules.h"
#include "util/TextFile.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivOutput.h"
#include "ziv/ZivWriteBackNote.h"

namespace {

// Lines are shown up to this many UTF-16 units.
constexpr size_t kShownUnits = 60;

// The line as it is shown: control characters as \xNN, at most kShownUnits units, never
// half a surrogate pair.
std::string Shown(std::u16string_view line) {
    size_t cut = line.size();
    if (cut > kShownUnits) {
        cut = kShownUnits;
        if (line[cut - 1] >= 0xD800 && line[cut - 1] <= 0xDBFF) {
            --cut;
        }
    }
    std::u16string clean;
    clean.reserve(cut);
    for (size_t i = 0; i < cut; ++i) {
        const char16_t c = line[i];
        if (c < 0x20 || c == 0x7F) {
            static constexpr char16_t kHex[] = u"0123456789ABCDEF";
            clean += u"\\x";
            clean += kHex[(c >> 4) & 0xF];
            clean += kHex[c & 0xF];
        } else {
            clean += c;
        }
    }
    return ToUtf8(clean) + (cut < line.size() ? "..." : "");
}

bool HasLoneSurrogate(std::u16string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
                ++i;
                continue;
            }
            return true;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) {
            return true;
        }
    }
    return false;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view s) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        unsigned lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            lo = c == 0xE0 ? 0xA0 : 0x80;
            hi = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            lo = c == 0xF0 ? 0x90 : 0x80;
            hi = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + len > n) {
            return false;
        }
        const auto c1 = static_cast<unsigned char>(s[i + 1]);
        if (c1 < lo || c1 > hi) {
            return false;
        }
        for (size_t k = 2; k < len; ++k) {
            const auto ck = static_cast<unsigned char>(s[i + k]);
            if (ck < 0x80 || ck > 0xBF) {
                return false;
            }
        }
        i += len;
    }
    return true;
}

// The byte lines of a file in a single-byte-unit encoding, split as the reader splits: from
// bytes in memory, or read from a file a piece at a time, one line held at once.
class TByteLines {
public:
    explicit TByteLines(std::string_view bytes) : data_(bytes.data()), len_(bytes.size()) {}
    explicit TByteLines(std::istream& in) : in_(&in), piece_(kPiece, '\0') {}

    // The next line, without its line break; false after the last.
    bool Next(std::string& line) {
        line.clear();
        for (int c = Get(); c >= 0; c = Get()) {
            if (c == '\n') {
                return true;
            }
            if (c == '\r') {
                if (Peek() == '\n') {
                    ++pos_;
                }
                return true;
            }
            line.push_back(static_cast<char>(c));
        }
        return !line.empty();
    }

private:
    static constexpr size_t kPiece = size_t{1} << 16;

    int Peek() {
        if (pos_ == len_ && in_ != nullptr) {
            in_->read(piece_.data(), static_cast<std::streamsize>(piece_.size()));
            data_ = piece_.data();
            len_ = static_cast<size_t>(in_->gcount());
            pos_ = 0;
        }
        return pos_ < len_ ? static_cast<unsigned char>(data_[pos_]) : -1;
    }
    int Get() {
        const int c = Peek();
        pos_ += c >= 0 ? 1 : 0;
        return c;
    }

    std::istream* in_ = nullptr;
    std::string piece_;
    const char* data_ = nullptr;
    size_t len_ = 0, pos_ = 0;
};

// Observes the reader and reports each finding as it is made, in line order: for each line
// the reader's own findings, then its bytes against the file's encoding, then what the
// write-back does with the entities the line made. Only the current line is kept.
class TAuditSink : public TDavReadSink {
public:
    TAuditSink(const TJGdata& jg, std::string_view encoding, TByteLines* bytes,
               const std::function<void(const TAuditFinding&)>& found)
        : jg_(jg), encoding_(encoding), bytes_(bytes), found_(found) {}

    void Line(std::u16string_view text) override {
        EndLine();
        ++line_;
        // One unit more than is shown, so that a shortened line says so.
        text_.assign(text.substr(0, kShownUnits + 1));
        if (encoding_ == "utf8" || encoding_ == "cp932") {
            bad_ = bytes_ != nullptr && bytes_->Next(lineBytes_) &&
                   (encoding_ == "utf8"
                        ? !ValidUtf8(lineBytes_)
                        : DecodeText(lineBytes_, TTextEncoding::Ansi).find(u'\uFFFD') !=
                                 std::u16string::npos);
        } else {
            bad_ = HasLoneSurrogate(text);
        }
    }
    void Finding(std::string_view reason) override { Found(std::string(reason)); }
    void Done() { EndLine(); }

    size_t Count() const { return count_; }

private:
    void Found(std::string reason) {
        ++count_;
        found_({line_, std::move(reason), Shown(text_)});
    }

    void EndLine() {
        if (bad_) {
            Found(encoding_ == "utf8"    ? "bytes that are not valid UTF-8: read as U+FFFD"
                  : encoding_ == "cp932" ? "bytes that are not valid in code page 932: read as "
                                           "U+FFFD"
                                         : "a lone UTF-16 surrogate: kept as it is, written as "
                                           "U+FFFD in UTF-8");
            bad_ = false;
        }
        const int n = std::min<int>(jg_.EntN, static_cast<int>(jg_.EntNo.size()));
        for (; noted_ < n; ++noted_) {
            if (const char* note = WriteBackNote(jg_, jg_.EntNo[static_cast<size_t>(noted_)])) {
                Found(note);
            }
        }
    }

    const TJGdata& jg_;
    std::string_view encoding_;
    TByteLines* bytes_;
    const std::function<void(const TAuditFinding&)>& found_;
    int line_ = 0;
    int noted_ = 0;
    bool bad_ = false;
    size_t count_ = 0;
    std::u16string text_;
    std::string lineBytes_;
};

// The file-wide finding, known before the lines are read.
void HalfUnit(std::string_view encoding, std::uintmax_t size,
              const std::function<void(const TAuditFinding&)>& found) {
    if ((encoding == "utf16le" || encoding == "utf16be") && size % 2 != 0) {
        found({0, "the file ends in half a UTF-16 unit: the byte is ignored", ""});
    }
}

}  // namespace

size_t AuditHost(const std::string& path, const std::function<void(const TAuditFinding&)>& found) {
    TJGdata jg;
    if (path == "-") {
        const std::string bytes = ReadInput(path);
        const std::string enc = EncodingName(bytes);
        HalfUnit(enc, bytes.size(), found);
        TByteLines lines(enc == "utf8" ? std::string_view(bytes).substr(3) : bytes);
        TAuditSink sink(jg, enc, &lines, found);
        jg.SetReadSink(&sink);
        jg.OpenTempBytes(bytes);
        jg.SetReadSink(nullptr);
        sink.Done();
        return sink.Count();
    }
    // The file is read twice side by side: by the library, and as bytes for the encoding.
    TZivInput input(path);
    std::istream& in = input.Stream();
    char head[kEncodingSampleBytes] = {};
    in.read(head, sizeof head);
    const std::string enc = EncodingName(std::string_view(head, static_cast<size_t>(in.gcount())));
    in.clear();
    in.seekg(enc == "utf8" ? 3 : 0);
    std::error_code ec;
    HalfUnit(enc, std::filesystem::file_size(std::filesystem::path(FromUtf8(path)), ec), found);
    TByteLines lines(in);
    TAuditSink sink(jg, enc, &lines, found);
    jg.SetReadSink(&sink);
    LoadHostFile(path, jg);
    jg.SetReadSink(nullptr);
    sink.Done();
    return sink.Count();
}

std::vector<TAuditFinding> AuditHostBytes(std::string_view bytes) {
    std::vector<TAuditFinding> out;
    const std::function<void(const TAuditFinding&)> found = [&](const TAuditFinding& f) {
        out.push_back(f);
    };
    TJGdata jg;
    const std::string enc = EncodingName(bytes);
    HalfUnit(enc, bytes.size(), found);
    TByteLines lines(enc == "utf8" ? bytes.substr(3) : bytes);
    TAuditSink sink(jg, enc, &lines, found);
    jg.SetReadSink(&sink);
    jg.OpenTempBytes(bytes);
    jg.SetReadSink(nullptr);
    sink.Done();
    return out;
}

std::string AuditText(const std::vector<TAuditFinding>& findings) {
    std::string out;
    for (const TAuditFinding& f : findings) {
        out += AuditLine("", f);
    }
    return out;
}

std::string AuditLine(const std::string& file, const TAuditFinding& f) {
    std::string out = file;
    if (!file.empty()) {
        out += ':';
    }
    if (f.line > 0) {
        out += std::to_string(f.line);
    } else if (file.empty()) {
        out += "file";
    }
    if (f.line > 0 || file.empty()) {
        out += ':';
    }
    out += ' ';
    out += f.reason;
    if (!f.text.empty()) {
        out += ": ";
        out += f.text;
    }
    out += '\n';
    return out;
}
