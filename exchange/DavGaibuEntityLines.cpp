// DavGaibuEntityLines: the reader's handlers of the layer, attribute, control and entity lines
// of the host's file; each fills the model through its public members.
#include <cmath>  // for std::fabs
#include <string>
#include <string_view>
#include <utility>  // for std::forward
#include <vector>

#include "exchange/DavGaibuReader.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"
#include "util/MyFunc.h"

namespace DavReader {

namespace {

using namespace DavKinds;
using DavRules::kMaxBasePoint;
using DavRules::kMaxLayer;

// A new record of kind K at the end of its list, with its drawing-order entry and the current
// attributes. The counting pass sized the lists beforehand, so the record is built once, in
// place; a list that is full all the same grows by this one record, and the reader fills the
// last block up at the end.
template <class K>
typename K::Rec& Append(TJGdata& jg) {
    TDavEntNo& entry = TJGdata::GrowAppend(jg.EntNo, jg.EntN, true);
    entry.yn = K::kCode;
    entry.no = K::CountOf(jg);
    typename K::Rec& rec = TJGdata::GrowAppend(K::ListOf(jg), K::CountOf(jg), true);
    jg.SetEntAttr(rec.att);
    return rec;
}

// Two corners of a solid read from the file are the same when both coordinates differ by at
// most this much (the host's own rule, finer than the store's).
constexpr double kSamePoint = 1e-12;

double F(const TTokens& t, int k) {
    return TextToFloat(t[k]);
}
int I(const TTokens& t, int k) {
    return TextToInt(t[k]);
}

// Token 0 without the key's letters: the value glued onto the key.
std::u16string_view Rest(const TTokens& t, std::u16string_view key) {
    return t[0].substr(key.size());
}

// A single hexadecimal digit after a two-letter key; anything else gives group or layer 0.
int HexDigitAfterKey(const TJGdata& jg, const TTokens& t) {
    const std::u16string_view key = t[0];
    const bool isZero = key.size() >= 3 && key[2] == u'0';
    int v = 0;
    if (key.size() >= 3) {
        const char16_t text[2] = {u'$', key[2]};
        v = TextToInt(std::u16string_view(text, 2));
    }
    if (v < 0 || v > kMaxLayer || (v == 0 && !isZero)) {
        Report(jg, "a layer group or layer that is not one hexadecimal digit: 0 is taken");
        return 0;
    }
    return v;
}

// Writes a table entry only when the index lies inside the table.
template <class T, class V>
void SetAt(std::vector<T>& table, int index, V&& value) {
    if (index >= 0 && static_cast<size_t>(index) < table.size()) {
        table[static_cast<size_t>(index)] = std::forward<V>(value);
    }
}

int LayerIndex(const TJGdata& jg, int lay) {
    return jg.w_LGrp * 16 + lay;
}

// An attribute line sets the current value; the first line of its kind is also the host's
// current setting.
void TakeValue(bool& first, int& host, int& current, int value) {
    if (first) {
        host = value;
        first = false;
    }
    current = value;
}

// "lgn" and "lyn": the glued-on rest of the key, then every further token after one blank.
std::u16string NameOf(const TTokens& t, std::u16string_view key) {
    std::u16string name(Rest(t, key));
    for (int k = 1; k < t.Count(); ++k) {
        name += u' ';
        name += t[k];
    }
    return name;
}

// The one-shot attributes belong to one entity; every entity line but the plain line also
// closes an open polyline group and ends a pending dimension.
void FinishEntity(TJGdata& jg, bool endsGroups) {
    jg.w_Attr = 0;
    jg.w_IPNo = 0;
    if (endsGroups) {
        jg.w_CrvFl = false;
        jg.w_DimFl = false;
    }
}

// Size, colour, base point, font, position and text of a text or a dimension's text.
void FillText(const TJGdata& jg, TDavEntText& txt, const TTokens& t) {
    TText::FillTextSettings(txt, jg);
    txt.x1 = F(t, 1);
    txt.y1 = F(t, 2);
    txt.x2 = F(t, 3);
    txt.y2 = F(t, 4);
    txt.fo = jg.w_Font;
    txt.st = t[5];
}

struct TPt {
    double x = 0.0, y = 0.0;
};

bool Same(TPt a, TPt b) {
    return std::fabs(a.x - b.x) <= kSamePoint && std::fabs(a.y - b.y) <= kSamePoint;
}

void AddSolid2(TJGdata& jg, TPt a, TPt b) {
    TDavEntSld2& s = Append<TSolid2>(jg);
    s.Color = jg.w_SlCol;
    s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y;
}

void AddSolid3(TJGdata& jg, TPt a, TPt b, TPt c) {
    TDavEntSld3& s = Append<TSolid3>(jg);
    s.Color = jg.w_SlCol;
    s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y, s.x3 = c.x, s.y3 = c.y;
}

void AddSolid4(TJGdata& jg, TPt a, TPt b, TPt c, TPt d) {
    TDavEntSld4& s = Append<TSolid4>(jg);
    s.Color = jg.w_SlCol;
    s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y;
    s.x3 = c.x, s.y3 = c.y, s.x4 = d.x, s.y4 = d.y;
}

// Centre, radius, flatness, tilt, start and swept angle of a circular or ring solid.
template <class T>
void FillRound(const TJGdata& jg, T& s, const TTokens& t) {
    s.Color = jg.w_SlCol;
    s.cx = F(t, 1);
    s.cy = F(t, 2);
    s.cr = F(t, 3);
    s.he = F(t, 4);
    s.ka = F(t, 5);
    s.sa = F(t, 6);
    s.da = F(t, 7);
}

// A circular solid of kind K with its code.
template <class K>
void AddSolidC(TJGdata& jg, const TTokens& t) {
    TDavEntSldC& s = Append<K>(jg);
    FillRound(jg, s, t);
    s.fl = I(t, 8);
    FinishEntity(jg, true);
}

// A ring solid of kind K with its inner radius.
template <class K>
void AddSolidD(TJGdata& jg, const TTokens& t) {
    TDavEntSldD& s = Append<K>(jg);
    FillRound(jg, s, t);
    s.ri = F(t, 8);
    FinishEntity(jg, true);
}

}  // namespace

// Layer lines. Names use the group and layer of the last "lg" and "ly" lines before them.

void LayerGroupName(TJGdata& jg, const TTokens& t, int) {
    SetAt(jg.LGrpName, jg.w_LGrp, NameOf(t, DavKeys::kLayerGroupName));
}

void LayerName(TJGdata& jg, const TTokens& t, int) {
    SetAt(jg.LayName, LayerIndex(jg, jg.w_Lay), NameOf(t, DavKeys::kLayerName));
}

void LayerGroup(TJGdata& jg, const TTokens& t, int) {
    const int g = HexDigitAfterKey(jg, t);
    TakeValue(jg.w_FlgLGrp, jg.CurLGrp, jg.w_LGrp, g);
    if (t.Count() >= 2) {
        SetAt(jg.LGrpStat, g, I(t, 1));
    }
    jg.w_CrvFl = false;
}

void Layer(TJGdata& jg, const TTokens& t, int) {
    const int l = HexDigitAfterKey(jg, t);
    TakeValue(jg.w_FlgLay, jg.CurLay, jg.w_Lay, l);
    if (t.Count() >= 2) {
        SetAt(jg.LayStat, LayerIndex(jg, l), I(t, 1));
    }
    jg.w_CrvFl = false;
}

// Attribute lines: the first line of each kind is also the host's current setting.

void Colour(TJGdata& jg, const TTokens& t, int) {
    const int c = TextToInt(Rest(t, DavKeys::kColour));
    TakeValue(jg.w_FlgCol, jg.CurCol, jg.w_Col, c);
    // Colour 10 carries the solid colour value as its second token.
    if (c == DavRules::kSolidColourCode && t.Count() >= 2) {
        jg.w_SlCol = I(t, 1);
    }
    jg.w_CrvFl = false;
}

void LineType(TJGdata& jg, const TTokens& t, int) {
    const int v = TextToInt(Rest(t, DavKeys::kLineType));
    TakeValue(jg.w_FlgLtp, jg.CurLtp, jg.w_Ltp, v);
    jg.w_CrvFl = false;
}

void LineWidth(TJGdata& jg, const TTokens& t, int) {
    const int w = TextToInt(Rest(t, DavKeys::kLineWidth));
    TakeValue(jg.w_FlgWid, jg.CurWid, jg.w_Wid, w);
    jg.w_CrvFl = false;
    jg.WidF = true;
}

// The font is what token 0 holds after "cn$"; the writer's quoted form keeps its blanks.
void Font(TJGdata& jg, const TTokens& t, int) {
    const std::u16string_view f = Rest(t, DavKeys::kFont);
    if (jg.CurFont.empty()) {
        jg.CurFont = f;
    }
    jg.w_Font = f;
    jg.w_CrvFl = false;
}

// Text type 0 brings its own width, height, spacing and colour.
void TextType(TJGdata& jg, const TTokens& t, int) {
    const int n = TextToInt(Rest(t, DavKeys::kTextType));
    const bool sizes = n == 0 && t.Count() >= 5;
    if (jg.w_FlgMjs) {
        jg.CurMjs = n;
        if (sizes) {
            jg.CurMjsW = F(t, 1);
            jg.CurMjsH = F(t, 2);
            jg.CurMjsD = F(t, 3);
            jg.CurMjsC = I(t, 4);
        }
        jg.w_FlgMjs = false;
    }
    jg.w_Mjs = n;
    if (sizes) {
        jg.w_MjsW = F(t, 1);
        jg.w_MjsH = F(t, 2);
        jg.w_MjsD = F(t, 3);
        jg.w_MjsC = I(t, 4);
    }
    jg.w_CrvFl = false;
}

void BasePoint(TJGdata& jg, const TTokens& t, int) {
    const std::u16string_view digit = Rest(t, DavKeys::kBasePoint).substr(0, 1);
    const int b = TextToInt(digit);
    jg.w_Mbs = b >= 0 && b <= kMaxBasePoint ? b : 0;
    if (jg.w_Mbs != b || digit.empty() || digit[0] < u'0' || digit[0] > u'9') {
        Report(jg, "a base point that is not one digit 0..8: 0 is taken");
    }
    jg.w_CrvFl = false;
}

// "z1" to "z5" set one bit each for the next entity; arg is the bit.
void AttrMark(TJGdata& jg, const TTokens&, int arg) {
    jg.w_Attr |= arg;
}

void PointColour(TJGdata& jg, const TTokens& t, int) {
    jg.w_PtCol = TextToInt(Rest(t, DavKeys::kPointColour));
    jg.w_CrvFl = false;
}

// Control lines.

void PolylineStart(TJGdata& jg, const TTokens&, int) {
    ++jg.w_CrvNo;
    jg.w_CrvFl = true;
    jg.w_DimFl = false;
}

void DimensionStart(TJGdata& jg, const TTokens&, int) {
    jg.w_DimFl = true;
    jg.w_CrvFl = false;
}

void GroupEnd(TJGdata& jg, const TTokens&, int) {
    jg.w_CrvFl = false;
    jg.w_DimFl = false;
}

// "hhp<n>", optionally with the suffix "ln", "ci" or "ch": the next entity belongs to
// picked point n. Any other trailing characters make the number read as 0.
void AttachPoint(TJGdata& jg, const TTokens& t, int) {
    const std::u16string_view key = t[0];
    constexpr size_t kNumberAt = 3;
    size_t len = key.size();
    for (const std::u16string_view suffix : DavKeys::kAttachSuffixes) {
        const size_t p = key.find(suffix);
        if (p != std::u16string_view::npos && p >= kNumberAt) {
            len = p - kNumberAt;
        }
    }
    jg.w_IPNo = key.size() > kNumberAt ? TextToInt(key.substr(kNumberAt, len)) : 0;
    if (jg.w_IPNo < 1 || jg.w_IPNo >= static_cast<int>(DavRules::kPickedPointSlots)) {
        Report(jg, "not a picked-point number 1..99: the next entity belongs to no point");
    }
}

// Entity lines.

void Circle(TJGdata& jg, const TTokens& t, int) {
    TDavEntCircle& c = Append<TCircle>(jg);
    c.cx = F(t, 1);
    c.cy = F(t, 2);
    c.cr = F(t, 3);
    FinishEntity(jg, true);
}

void Arc(TJGdata& jg, const TTokens& t, int) {
    TDavEntArc& a = Append<TArc>(jg);
    a.cx = F(t, 1);
    a.cy = F(t, 2);
    a.cr = F(t, 3);
    a.sa = F(t, 4);
    a.ea = F(t, 5);
    a.he = F(t, 6);
    a.ka = F(t, 7);
    FinishEntity(jg, true);
}

// A "cs" line completes a pending dimension with the line read since "msg"; any other
// text line, or "cs" with no dimension pending, is a text of the key's kind (arg).
void Text(TJGdata& jg, const TTokens& t, int arg) {
    if (jg.w_DimFl && arg == DavKeys::kDimensionTextKind) {
        TDavEntDim& d = Append<TDim>(jg);
        d.lin = jg.EntSunLine;
        d.lin.CrvNo = 0;
        jg.SetEntAttr(d.txt.att);
        d.txt.no = DavKeys::kDimensionTextKind;
        FillText(jg, d.txt, t);
    } else {
        TDavEntText& x = Append<TText>(jg);
        x.no = arg;
        FillText(jg, x, t);
    }
    FinishEntity(jg, true);
}

void Point(TJGdata& jg, const TTokens& t, int) {
    TDavEntPnt& p = Append<TPoint>(jg);
    p.att.Col = jg.w_PtCol;
    p.px = F(t, 1);
    p.py = F(t, 2);
    FinishEntity(jg, true);
}

void Marker(TJGdata& jg, const TTokens& t, int) {
    TDavEntMark& m = Append<TMark>(jg);
    m.att.Col = jg.w_PtCol;
    m.px = F(t, 1);
    m.py = F(t, 2);
    m.bai = F(t, 3);
    m.ang = F(t, 4);
    m.cod = I(t, 5);
    FinishEntity(jg, true);
}

void Block(TJGdata& jg, const TTokens& t, int) {
    TDavEntBlk& b = Append<TBlock>(jg);
    b.px = F(t, 1);
    b.py = F(t, 2);
    b.nam = t[3];
    FinishEntity(jg, true);
}

// "sl" with two, three or four points. Coinciding points reduce the solid to the fewest
// distinct corners, in the host's order.
void Solid(TJGdata& jg, const TTokens& t, int) {
    const TPt p1{F(t, 1), F(t, 2)};
    const TPt p2{F(t, 3), F(t, 4)};
    const TPt p3{F(t, 5), F(t, 6)};
    const TPt p4{F(t, 7), F(t, 8)};
    const int n = t.Count();
    if (n == 5) {
        AddSolid2(jg, p1, p2);
    } else if (n == 7) {
        if (Same(p1, p2)) {
            AddSolid2(jg, p1, p3);
        } else if (Same(p2, p3)) {
            AddSolid2(jg, p1, p2);
        } else {
            AddSolid3(jg, p1, p2, p3);
        }
    } else if (n >= 9) {
        if (Same(p1, p2) && Same(p1, p3)) {
            AddSolid2(jg, p1, p4);
        } else if (Same(p2, p3) && Same(p2, p4)) {
            AddSolid2(jg, p1, p2);
        } else if (Same(p1, p2) && Same(p3, p4)) {
            AddSolid2(jg, p1, p3);
        } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
            AddSolid3(jg, p1, p2, p3);
        } else if (Same(p3, p1) || Same(p3, p2)) {
            AddSolid3(jg, p1, p2, p4);
        } else if (Same(p2, p1)) {
            AddSolid3(jg, p1, p3, p4);
        } else {
            AddSolid4(jg, p1, p2, p3, p4);
        }
    } else {
        return;
    }
    FinishEntity(jg, true);
}

void SolidC(TJGdata& jg, const TTokens& t, int) {
    AddSolidC<TSolidC>(jg, t);
}

void SolidE(TJGdata& jg, const TTokens& t, int) {
    AddSolidC<TSolidE>(jg, t);
}

void SolidO(TJGdata& jg, const TTokens& t, int) {
    AddSolidD<TSolidO>(jg, t);
}

void SolidG(TJGdata& jg, const TTokens& t, int) {
    AddSolidD<TSolidG>(jg, t);
}

// Four numbers, the key read as the first. While a dimension is pending the line is the
// dimension's own line, not an entity. The polyline and dimension state stay as they are,
// so the segments of an open group share its number.
void Line(TJGdata& jg, const TTokens& t, int) {
    TDavEntLine* l = &jg.EntSunLine;
    if (jg.w_DimFl) {
        jg.SetEntAttr(l->att);
        l->CrvNo = 0;
    } else {
        l = &Append<TLine>(jg);
        l->CrvNo = jg.w_CrvFl ? jg.w_CrvNo : 0;
    }
    l->x1 = F(t, 0);
    l->y1 = F(t, 1);
    l->x2 = F(t, 2);
    l->y2 = F(t, 3);
    FinishEntity(jg, false);
}

}  // namespace DavReader
