// DavGaibuParse: the reader's parse and grammar. It cuts the lines of the host's file into
// tokens and hands each line to the handler of the first row of the grammar that takes it; the
// rows name the kind of entity each makes, for the counting pass.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>  // for std::size
#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavGaibuReader.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavLimits.h"
#include "exchange/DavReader.h"
#include "exchange/DavRules.h"
#include "util/LineBreaks.h"
#include "util/MyFunc.h"
#include "util/WordScan.h"

namespace {

using DavReader::kMaxTokens;
using DavReader::TRow;
using DavReader::TTokens;
namespace K = DavKeys;

constexpr int kPickedPoints = static_cast<int>(DavLimits::kPickedPointSlots) - 1;
constexpr size_t kScaleCount = DavLimits::kScales;
constexpr size_t kTextTypes = DavLimits::kMaxTextType;
using DavLimits::kRgbValues;

constexpr bool IsSeparator(char16_t c) {
    return c == u' ' || c == u'\t';
}

using LineBreaks::FindLineBreak;
using LineBreaks::IsLineBreak;

// Blank, tab, double quote, equals sign and the line breaks: the characters that end an
// ordinary run.
constexpr uint64_t kSpecial = (uint64_t{1} << u' ') | (uint64_t{1} << u'\t') |
                              (uint64_t{1} << u'"') | (uint64_t{1} << u'=') |
                              (uint64_t{1} << u'\r') | (uint64_t{1} << u'\n');
constexpr bool IsSpecial(char16_t c) {
    return c < 64 && ((kSpecial >> c) & 1) != 0;
}

// Marks units below U+0023 (blank, tab, double quote, line breaks and a few others) and
// equals signs.
size_t FindSpecial(const char16_t* text, size_t i, size_t n) {
    return WordScan::FindFirst(text, i, n, IsSpecial, [](uint64_t units) {
        return WordScan::MarksBelow<char16_t>(units, 0x23) |
               WordScan::MarksEqual<char16_t>(units, u'=');
    });
}

// Splits the line that starts at text[i] into toks and returns the token count; end receives
// the index of the CR or LF that ends the line, or the text's length, and plainKey whether
// token 0 is one run of ordinary characters. Blanks and tabs
// separate tokens, a run of them once. A double quote is dropped and an equals sign kept;
// either switches to verbatim for the rest of the line, which then goes into the current
// token as it stands. A blank after the last value starts an empty last token that is
// counted. Surrogate pairs are never split, because only ASCII characters separate.
//
// A token is one run of ordinary characters, so it is a view into the text; only a double
// quote right after a run joins two parts, and that token is built in joined.
int Tokenize(std::u16string_view text, size_t i, size_t& end, bool& plainKey,
             std::vector<std::u16string_view>& toks, std::u16string& joined) {
    if (toks.size() < static_cast<size_t>(kMaxTokens)) {
        toks.resize(static_cast<size_t>(kMaxTokens));
    }
    std::u16string_view* const out = toks.data();
    const char16_t* const units = text.data();
    const size_t n = text.size();
    int t = 0;
    out[0] = std::u16string_view();
    plainKey = true;
    for (;;) {
        while (i < n && IsSeparator(units[i])) {
            ++i;
        }
        if (i == n || IsLineBreak(units[i])) {
            break;
        }
        const size_t start = i;
        i = FindSpecial(units, i, n);
        if (i == n || IsLineBreak(units[i])) {
            out[t] = text.substr(start, i - start);
            break;
        }
        if (units[i] == u'"') {
            plainKey = DavReader::IsPlainKey(true, t + 1);
            const size_t stop = FindLineBreak(units, i + 1, n);
            const std::u16string_view rest = text.substr(i + 1, stop - i - 1);
            if (i == start) {
                out[t] = rest;
            } else {
                joined.assign(units + start, i - start);
                joined.append(rest);
                out[t] = joined;
            }
            i = stop;
            break;
        }
        if (units[i] == u'=') {
            plainKey = DavReader::IsPlainKey(true, t + 1);
            i = FindLineBreak(units, i + 1, n);
            out[t] = text.substr(start, i - start);
            break;
        }
        // A blank or tab ends the run, which is never empty here.
        out[t] = text.substr(start, i - start);
        if (t + 1 == kMaxTokens) {
            i = FindLineBreak(units, i + 1, n);
            break;
        }
        out[++t] = std::u16string_view();
        ++i;
    }
    end = i;
    return t + 1;
}

// Header lines. They set the host's settings only and may appear anywhere in the file.

// "file=" and the drawing's file name; "=" made the rest of the line part of token 0.
void FileName(TJGdata& jg, const TTokens& t, int) {
    const std::u16string_view key = t[0];
    constexpr size_t kSkip = 5;
    jg.ZumenFile = key.size() > kSkip ? key.substr(kSkip) : std::u16string_view();
}

void AxisAngle(TJGdata& jg, const TTokens& t, int) {
    jg.Jikukaku = TextToFloat(t[1]);
}

void Scales(TJGdata& jg, const TTokens& t, int) {
    for (size_t g = 0; g < kScaleCount; ++g) {
        jg.LGrpScale[g] = TextToFloat(t[static_cast<int>(g) + 1]);
    }
}

void SheetSize(TJGdata& jg, const TTokens& t, int) {
    jg.ZumenXsize = TextToFloat(t[1]);
    jg.ZumenYsize = TextToFloat(t[2]);
}

void TypeWidths(TJGdata& jg, const TTokens& t, int) {
    for (size_t k = 1; k <= kTextTypes; ++k) {
        jg.Mojisyu[k].W = TextToFloat(t[static_cast<int>(k)]);
    }
}

void TypeHeights(TJGdata& jg, const TTokens& t, int) {
    for (size_t k = 1; k <= kTextTypes; ++k) {
        jg.Mojisyu[k].H = TextToFloat(t[static_cast<int>(k)]);
    }
}

void TypeSpacings(TJGdata& jg, const TTokens& t, int) {
    for (size_t k = 1; k <= kTextTypes; ++k) {
        jg.Mojisyu[k].D = TextToFloat(t[static_cast<int>(k)]);
    }
}

void TypeColours(TJGdata& jg, const TTokens& t, int) {
    for (size_t k = 1; k <= kTextTypes; ++k) {
        jg.Mojisyu[k].C = TextToInt(t[static_cast<int>(k)]);
    }
}

void SheetUnits(TJGdata& jg, const TTokens&, int) {
    jg.Zusun = true;
}

void Area(TJGdata& jg, const TTokens& t, int) {
    jg.AreaX1 = TextToFloat(t[1]);
    jg.AreaY1 = TextToFloat(t[2]);
    jg.AreaX2 = TextToFloat(t[3]);
    jg.AreaY2 = TextToFloat(t[4]);
}

// The host's colour table; values beyond the table's entries are ignored.
void RgbTable(TJGdata& jg, const TTokens& t, int) {
    const int last = t.Count() - 1 < kRgbValues ? t.Count() - 1 : kRgbValues;
    for (int k = 1; k <= last; ++k) {
        jg.RGB[static_cast<size_t>(k)] = TextToInt(t[k]);
    }
}

// "hp<n>" with x and y, the number optionally followed by how the point was picked:
// "-" 1, "ln" 2, "ci" 3, "ch" 4. The last suffix found decides.
void PickedPoint(TJGdata& jg, const TTokens& t, int) {
    const std::u16string_view key = t[0];
    constexpr size_t kNumberAt = 2;
    std::u16string_view number = key.substr(kNumberAt);
    int sta = 0;
    int code = 0;
    for (const std::u16string_view suffix : DavKeys::kPickSuffixes) {
        ++code;
        const size_t p = key.find(suffix);
        if (p != std::u16string_view::npos) {
            number = p > kNumberAt ? key.substr(kNumberAt, p - kNumberAt) : std::u16string_view();
            sta = code;
        }
    }
    const int no = TextToInt(number);
    if (no < 1 || no > kPickedPoints || static_cast<size_t>(no) >= jg.IPoints.size()) {
        DavReader::Report(jg, "a picked-point number outside 1..99: the point is ignored");
        return;
    }
    TDavIndPoint& pt = jg.IPoints[static_cast<size_t>(no)];
    pt.flg = true;
    pt.x = TextToFloat(t[1]);
    pt.y = TextToFloat(t[2]);
    pt.sta = sta;
    ++jg.IPointN;
}

using M = DavReader::TMatch;
using C = DavReader::TCount;
using P = DavReader::TPending;
namespace D = DavKinds;
namespace R = DavReader;

// The line grammar, tried top to bottom: the first row whose key matches and whose token
// count holds takes the line. A line that matches a key but not its count goes on down. Each
// row names the kind of entity its line makes and what the line does to a pending dimension,
// which the counting pass (DavGaibuReserve.cpp) reads to size the lists.
constexpr TRow kRows[] = {
    {K::kFile, M::Contains, C::Any, 0, FileName},
    {K::kAxisAngle, M::Exact, C::AtLeast, 2, AxisAngle},
    {K::kScales, M::Exact, C::AtLeast, 17, Scales},
    {K::kSheetSize, M::Exact, C::AtLeast, 3, SheetSize},
    {K::kTypeWidths, M::Exact, C::AtLeast, 11, TypeWidths},
    {K::kTypeHeights, M::Exact, C::AtLeast, 11, TypeHeights},
    {K::kTypeSpacings, M::Exact, C::AtLeast, 11, TypeSpacings},
    {K::kTypeColours, M::Exact, C::AtLeast, 11, TypeColours},
    {K::kSheetUnits, M::Exact, C::Any, 0, SheetUnits},
    {K::kArea, M::Exact, C::AtLeast, 5, Area},
    {K::kRgbTable, M::Exact, C::AtLeast, 9, RgbTable},
    {K::kLayerGroupName, M::Prefix, C::Any, 0, R::LayerGroupName},
    {K::kLayerName, M::Prefix, C::Any, 0, R::LayerName},
    {K::kLayerGroup, M::Prefix, C::Any, 0, R::LayerGroup},
    {K::kLayer, M::Prefix, C::Any, 0, R::Layer},
    {K::kColour, M::Prefix, C::Any, 0, R::Colour},
    {K::kLineType, M::Prefix, C::Any, 0, R::LineType},
    {K::kLineWidth, M::Prefix, C::Any, 0, R::LineWidth},
    {K::kFont, M::Prefix, C::Any, 0, R::Font},
    {K::kTextType, M::Prefix, C::Any, 0, R::TextType},
    {K::kBasePoint, M::Prefix, C::Any, 0, R::BasePoint},
    {K::kAttrMarks[0], M::Exact, C::Any, 0, R::AttrMark, 0, P::Keeps, DavRules::kAttrBit1},
    {K::kAttrMarks[1], M::Exact, C::Any, 0, R::AttrMark, 0, P::Keeps, DavRules::kAttrBit2},
    {K::kAttrMarks[2], M::Exact, C::Any, 0, R::AttrMark, 0, P::Keeps, DavRules::kAttrBit3},
    {K::kAttrMarks[3], M::Exact, C::Any, 0, R::AttrMark, 0, P::Keeps, DavRules::kAttrBit4},
    {K::kAttrMarks[4], M::Exact, C::Any, 0, R::AttrMark, 0, P::Keeps, DavRules::kAttrBit5},
    {K::kPointColour, M::Prefix, C::Any, 0, R::PointColour},
    {K::kPolylineStart, M::Exact, C::Any, 0, R::PolylineStart, 0, P::Ends},
    {K::kDimensionStart, M::Exact, C::Any, 0, R::DimensionStart, 0, P::Opens},
    {K::kGroupEnd, M::Exact, C::Any, 0, R::GroupEnd, 0, P::Ends},
    {K::kPickedPoint, M::Prefix, C::AtLeast, 3, PickedPoint},
    {K::kAttachPoint, M::Prefix, C::Any, 0, R::AttachPoint},
    {K::kCircle, M::Exact, C::Exactly, 4, R::Circle, D::TCircle::kCode, P::Ends},
    {K::kCircle, M::Exact, C::AtLeast, 8, R::Arc, D::TArc::kCode, P::Ends},
    {K::kTextKinds[0], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 0},
    {K::kTextKinds[1], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 1},
    {K::kTextKinds[2], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::TakesText, 2},
    {K::kTextKinds[3], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 3},
    {K::kTextKinds[4], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 4},
    {K::kTextKinds[5], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 5},
    {K::kTextKinds[6], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 6},
    {K::kTextKinds[7], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 7},
    {K::kTextKinds[8], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 8},
    {K::kTextKinds[9], M::Exact, C::AtLeast, 6, R::Text, D::TText::kCode, P::Ends, 9},
    {K::kPoint, M::Exact, C::Exactly, 3, R::Point, D::TPoint::kCode, P::Ends},
    {K::kPoint, M::Exact, C::AtLeast, 6, R::Marker, D::TMark::kCode, P::Ends},
    {K::kBlock, M::Exact, C::AtLeast, 4, R::Block, D::TBlock::kCode, P::Ends},
    {K::kSolid, M::Exact, C::Exactly, 5, R::Solid, D::TSolid2::kCode, P::Ends},
    {K::kSolid, M::Exact, C::Exactly, 7, R::Solid, D::TSolid3::kCode, P::Ends},
    {K::kSolid, M::Exact, C::AtLeast, 9, R::Solid, D::TSolid4::kCode, P::Ends},
    {K::kSolidC, M::Exact, C::AtLeast, 9, R::SolidC, D::TSolidC::kCode, P::Ends},
    {K::kSolidE, M::Exact, C::AtLeast, 9, R::SolidE, D::TSolidE::kCode, P::Ends},
    {K::kSolidO, M::Exact, C::AtLeast, 9, R::SolidO, D::TSolidO::kCode, P::Ends},
    {K::kSolidG, M::Exact, C::AtLeast, 9, R::SolidG, D::TSolidG::kCode, P::Ends},
    // Four tokens that no row above took are a line, whatever the key; the rest is ignored.
    {u"", M::AnyKey, C::Exactly, 4, R::Line, D::TLine::kCode, P::TakesLine},
};

bool KeyMatches(const TRow& row, std::u16string_view key) {
    switch (row.match) {
        case M::Exact: return key == row.key;
        case M::Prefix: return key.starts_with(row.key);
        case M::Contains: return key.find(row.key) != std::u16string_view::npos;
        case M::AnyKey: return true;
    }
    return false;
}

bool CountHolds(const TRow& row, int count) {
    switch (row.rule) {
        case C::Any: return true;
        case C::AtLeast: return count >= row.n;
        case C::Exactly: return count == row.n;
    }
    return false;
}

bool Takes(const TRow& row, std::u16string_view key, int count) {
    return KeyMatches(row, key) && CountHolds(row, count);
}

// The rows that a key with a given first character can match, in table order; the last
// bucket serves keys that start outside ASCII. Most lines of a large file are entities whose
// key is a number, so their walk is a row or two instead of the whole table.
constexpr size_t kRowCount = std::size(kRows);
constexpr size_t kBuckets = 129;

struct TRowIndex {
    std::array<std::array<unsigned char, kRowCount>, kBuckets> rows{};
    std::array<unsigned char, kBuckets> count{};
};

constexpr bool HasSpecial(std::u16string_view key) {
    for (const char16_t c : key) {
        if (IsSpecial(c)) {
            return true;
        }
    }
    return false;
}

// A key that is one plain run holds no blank, tab, double quote or equals sign, so the rows
// whose key holds one ("file=") are left out of its index.
constexpr TRowIndex MakeRowIndex(bool plainKey) {
    TRowIndex index;
    for (size_t b = 0; b < kBuckets; ++b) {
        for (size_t r = 0; r < kRowCount; ++r) {
            const TRow& row = kRows[r];
            const bool byFirst = row.match == M::Exact || row.match == M::Prefix;
            if (plainKey && HasSpecial(row.key)) {
                continue;
            }
            if (!byFirst || (b < 128 && row.key[0] == static_cast<char16_t>(b))) {
                index.rows[b][index.count[b]++] = static_cast<unsigned char>(r);
            }
        }
    }
    return index;
}

constexpr TRowIndex kRowIndex = MakeRowIndex(false);
constexpr TRowIndex kPlainKeyRowIndex = MakeRowIndex(true);

// --- What the counting pass relies on.

constexpr bool KeysAreCounted() {
    for (const TRow& row : kRows) {
        if (row.key.size() >= DavReader::kCountedKeyUnits) {
            return false;
        }
    }
    return true;
}
static_assert(KeysAreCounted(), "the counting pass compares every key of the grammar whole");

// Only the text row of the dimension's text kind completes a pending dimension, as the text
// handler (R::Text) does with that kind.
constexpr bool DimensionTextRowIsTheOneThatTakesIt() {
    for (const TRow& row : kRows) {
        const bool dimensionText = row.makes == D::TText::kCode && row.arg == K::kDimensionTextKind;
        if ((row.pending == P::TakesText) != dimensionText) {
            return false;
        }
    }
    return true;
}
static_assert(DimensionTextRowIsTheOneThatTakesIt(),
              "the dimension's text row, and it alone, takes up a pending dimension");

constexpr bool SomeRowMakes(int code) {
    for (const TRow& row : kRows) {
        if (row.makes == code || (row.pending == P::TakesText && code == D::TDim::kCode)) {
            return true;
        }
    }
    return false;
}

// Every kind of the kind table is made by at least one row of the grammar. A kind that none
// makes fails here; the compiler names it as the argument of TRowMakesKind.
template <class Kind>
struct TRowMakesKind {
    static_assert(SomeRowMakes(Kind::kCode),
                  "no row of the reader's grammar (kRows) makes this kind of DavKinds::TKinds");
    static constexpr bool kChecked = true;
};
template <class... Kind>
constexpr bool EveryKindIsMadeByARow(DavKinds::TKindList<Kind...>) {
    return (TRowMakesKind<Kind>::kChecked && ...);
}
static_assert(EveryKindIsMadeByARow(DavKinds::TKinds{}));

// Why no row took a line: its key is known but not with that many values, or unknown.
void ReportUntaken(const TJGdata& jg, std::u16string_view key) {
    for (const TRow& row : kRows) {
        if (row.match != M::AnyKey && KeyMatches(row, key)) {
            DavReader::Report(jg, "a known key with a number of values that no form of it takes");
            return;
        }
    }
    DavReader::Report(jg, "an unknown key");
}

// Dispatches the tokens of one line: the first row whose key matches and whose token count
// holds takes the line. An empty line, a line of blanks or a lone double quote is ignored.
void Dispatch(TJGdata& jg, const TTokens& t, bool plainKey, DavReader::TRowCache& rows) {
    if (DavReader::IsIgnoredLine(t[0].empty(), t.Count())) {
        return;
    }
    if (const TRow* row = rows.Choose(t[0], t.Count(), plainKey)) {
        row->handler(jg, t, row->arg);
        return;
    }
    if (jg.ReadSink() != nullptr) {
        ReportUntaken(jg, t[0]);
    }
}

}  // namespace

const TRow* DavReader::ChooseRow(std::u16string_view key, int count, bool plainKey) {
    const size_t bucket = !key.empty() && key[0] < 128 ? key[0] : 128;
    const TRowIndex& index = plainKey ? kPlainKeyRowIndex : kRowIndex;
    for (size_t i = 0; i < index.count[bucket]; ++i) {
        const TRow& row = kRows[index.rows[bucket][i]];
        if (Takes(row, key, count)) {
            return &row;
        }
    }
    return nullptr;
}

size_t DavReader::TReader::ParseLine(std::u16string_view text, size_t i) {
    size_t end = 0;
    bool plainKey = false;
    const int count = Tokenize(text, i, end, plainKey, tokens_, joined_);
    if (sink_ != nullptr) {
        sink_->Line(text.substr(i, end - i));
    }
    Dispatch(model_, TTokens{tokens_.data(), count}, plainKey, rows_);
    if (end == text.size()) {
        return end;
    }
    return text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? end + 2
                                                                                 : end + 1;
}
