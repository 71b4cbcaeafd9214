// ZivAudit: the reader's own findings through its observer, the encoding of each line checked
// against the file's encoding, and the write-back's rules applied to each entity read.
#include "ziv/ZivAudit.h"

#include <algorithm>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "exchange/DavReadSink.h"
#include "exchange/DavRules.h"
#include "util/TextFile.h"
#include "ziv/ZivLoad.h"

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

// The byte lines of a file in a single-byte-unit encoding, split as the reader splits.
std::vector<std::string_view> ByteLines(std::string_view b) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < b.size(); ++i) {
        if (b[i] == '\n' || b[i] == '\r') {
            lines.push_back(b.substr(start, i - start));
            if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < b.size()) {
        lines.push_back(b.substr(start));
    }
    return lines;
}

// Observes the reader: numbers the lines, keeps its findings, and remembers which line made
// each entity.
class TAuditSink : public TDavReadSink {
public:
    explicit TAuditSink(const TJGdata& jg) : jg_(jg) {}

    void Line(std::u16string_view text) override {
        NoteEntities();
        ++line_;
        text_ = text;
        lines_.emplace_back(text);
    }
    void Finding(std::string_view reason) override {
        findings.push_back({line_, std::string(reason), Shown(text_)});
    }
    void Done() { NoteEntities(); }

    std::vector<TAuditFinding> findings;
    std::vector<int> entityLine;         // by drawing-order index
    std::vector<std::u16string> lines_;  // the decoded lines

private:
    void NoteEntities() {
        while (static_cast<int>(entityLine.size()) < jg_.EntN) {
            entityLine.push_back(line_);
        }
    }

    const TJGdata& jg_;
    int line_ = 0;
    std::u16string_view text_;
};

// What the write-back does with an entity read: nothing to say, or why it drops or changes it.
const char* WriteBackNote(const TJGdata& jg, TDavEntNo en) {
    using namespace DavKinds;
    using namespace DavRules;
    const char* note = nullptr;
    VisitKind(en.yn, [&](auto k) {
        using K = decltype(k);
        const typename K::Rec* e = K::At(jg, en.no);
        if (e == nullptr) {
            return;
        }
        constexpr int code = K::kCode;
        if constexpr (code == kKindLine) {
            if (!TLine::Valid(e->x1, e->y1, e->x2, e->y2)) {
                note = "a line of no length: the write-back drops it";
            }
        } else if constexpr (code == kKindCircle) {
            if (!TCircle::Valid(e->cr)) {
                note = "a circle without a positive radius: the write-back drops it";
            }
        } else if constexpr (code == kKindArc) {
            if (!TArc::Valid(e->cr, e->he)) {
                note = "an arc without a positive radius or flatness: the write-back drops it";
            }
        } else if constexpr (code == kKindText) {
            if (!TText::Valid(e->x2, e->y2, e->st)) {
                note = "a text without direction or of blanks only: the write-back drops it";
            }
        } else if constexpr (code == kKindMark) {
            if (MarkCode(e->cod) != e->cod) {
                note = "a marker code outside -7..11: written as the default marker -3";
            } else if (OneIfNone(e->bai) != e->bai) {
                note = "a marker without scale: written with scale 1";
            }
        } else if constexpr (code == kKindDim) {
            if (!TDim::Valid(e->lin.x1, e->lin.y1, e->lin.x2, e->lin.y2, e->txt.x2, e->txt.y2)) {
                note =
                    "a dimension line of no length or a text without direction: "
                    "the write-back drops it";
            }
        } else if constexpr (code == kKindSolid2) {
            if (!TSolid2::Valid(e->x1, e->y1, e->x2, e->y2)) {
                note = "a solid whose corners coincide: the write-back drops it";
            }
        } else if constexpr (code == kKindSolid3) {
            if (!TSolid3::Valid(e->x1, e->y1, e->x2, e->y2, e->x3, e->y3)) {
                note = "a solid whose corners coincide: the write-back drops it";
            }
        } else if constexpr (code == kKindSolid4) {
            bool quad = false;
            bool triangle = false;
            TSolid4::Reduce(
                e->x1, e->y1, e->x2, e->y2, e->x3, e->y3, e->x4, e->y4,
                [&](double, double, double, double, double, double) { triangle = true; },
                [&] { quad = true; });
            if (!quad) {
                note = triangle
                           ? "a four-point solid with coinciding corners: written as a triangle"
                           : "a four-point solid with coinciding corners: the write-back drops it";
            }
        } else if constexpr (code == kKindSolidC || code == kKindSolidE) {
            if (!K::Valid(e->cr, e->he, e->fl)) {
                note =
                    "a circular solid without radius or flatness, or with a code the host does "
                    "not know: the write-back drops it";
            }
        } else if constexpr (code == kKindSolidO || code == kKindSolidG) {
            if (!K::Valid(e->cr, e->he, e->ri)) {
                note =
                    "a ring solid without radius or flatness, or whose inner radius is not "
                    "inside it: the write-back drops it";
            }
        }
    });
    return note;
}

}  // namespace

std::vector<TAuditFinding> AuditHostBytes(std::string_view bytes) {
    TJGdata jg;
    TAuditSink sink(jg);
    jg.SetReadSink(&sink);
    jg.OpenTempBytes(bytes);
    jg.SetReadSink(nullptr);
    sink.Done();
    std::vector<TAuditFinding> out = std::move(sink.findings);

    // Bytes the file's encoding does not allow.
    const std::string enc = EncodingName(bytes);
    if (enc == "utf8" || enc == "cp932") {
        const std::string_view body = enc == "utf8" ? bytes.substr(3) : bytes;
        const std::vector<std::string_view> lines = ByteLines(body);
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string_view l = lines[i];
            const bool bad = enc == "utf8"
                                 ? !ValidUtf8(l)
                                 : DecodeText(l, TTextEncoding::Ansi).find(u'\uFFFD') !=
                                       std::u16string::npos;
            if (bad) {
                const std::u16string_view shown =
                    i < sink.lines_.size() ? std::u16string_view(sink.lines_[i]) : u"";
                out.push_back({static_cast<int>(i) + 1,
                               enc == "utf8" ? "bytes that are not valid UTF-8: read as U+FFFD"
                                             : "bytes that are not valid in code page 932: read "
                                               "as U+FFFD",
                               Shown(shown)});
            }
        }
    } else {
        if ((bytes.size() - 2) % 2 != 0) {
            out.push_back({0, "the file ends in half a UTF-16 unit: the byte is ignored", ""});
        }
        for (size_t i = 0; i < sink.lines_.size(); ++i) {
            if (HasLoneSurrogate(sink.lines_[i])) {
                out.push_back({static_cast<int>(i) + 1,
                               "a lone UTF-16 surrogate: kept as it is, written as U+FFFD in UTF-8",
                               Shown(sink.lines_[i])});
            }
        }
    }

    // Entities that the write-back drops or changes.
    const int n = std::min<int>(jg.EntN, static_cast<int>(jg.EntNo.size()));
    for (int i = 0; i < n; ++i) {
        if (const char* note = WriteBackNote(jg, jg.EntNo[static_cast<size_t>(i)])) {
            const int line = i < static_cast<int>(sink.entityLine.size())
                                 ? sink.entityLine[static_cast<size_t>(i)]
                                 : 0;
            const std::u16string_view shown =
                line >= 1 && static_cast<size_t>(line) <= sink.lines_.size()
                    ? std::u16string_view(sink.lines_[static_cast<size_t>(line) - 1])
                    : u"";
            out.push_back({line, note, Shown(shown)});
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const TAuditFinding& a, const TAuditFinding& b) {
        return a.line < b.line;
    });
    return out;
}

std::string AuditText(const std::vector<TAuditFinding>& findings) {
    std::string out;
    for (const TAuditFinding& f : findings) {
        out += f.line > 0 ? std::to_string(f.line) : std::string("file");
        out += ": ";
        out += f.reason;
        if (!f.text.empty()) {
            out += ": ";
            out += f.text;
        }
        out += '\n';
    }
    return out;
}
