// DavGaibuCommands: the attribute, text and dimension commands of TJGdata, and the two
// commands that pass host data straight back.
#include "DavGaibu.h"

#include <cstdint>  // for the 32-bit pattern of a hexadecimal number
#include <limits>
#include <string>
#include <string_view>

#include "exchange/DavCommandLine.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"
#include "util/MyFunc.h"
#include "util/Utf16.h"

using DavCommandLine::AppendValues;
using DavCommandLine::MakeLine;
using DavCommandLine::TLineBuffer;

namespace {

using namespace DavRules;
using DavKinds::TDim;
using DavKinds::TLine;
using DavKinds::TText;

// A line break inside a text would end the command line early and hand the rest of the text
// to the host as a command of its own; each CR and LF stands as a blank instead.
using Utf16::AppendOneLine;
using Utf16::OneLineUnit;

// Whether text, once its line breaks are blanks, equals the remembered value.
bool SameOneLine(std::u16string_view text, std::u16string_view remembered) {
    if (text.size() != remembered.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (OneLineUnit(text[i]) != remembered[i]) {
            return false;
        }
    }
    return true;
}

// Upper-case hexadecimal with at least one digit; a negative number as its 32-bit pattern.
void AppendHexText(std::u16string& line, int value) {
    constexpr std::u16string_view kDigits = u"0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    char16_t digits[8];
    int n = 0;
    do {
        digits[n++] = kDigits[bits & 0xFu];
        bits >>= 4;
    } while (bits != 0);
    while (n > 0) {
        line.push_back(digits[--n]);
    }
}

std::u16string KeyWithHex(std::u16string_view key, int value) {
    TLineBuffer line(key);
    AppendHexText(line.Text(), value);
    return line.Line();
}

// The keyword with an integer glued on, then any further values.
template <class... V>
std::u16string KeyWithInt(std::u16string_view key, int value, V... more) {
    TLineBuffer line(key);
    AppendIntText(line.Text(), value);
    AppendValues(line.Text(), more...);
    return line.Line();
}

// code + offset, held at the largest Integer instead of overflowing.
int AddCapped(int code, int offset) {
    return code > std::numeric_limits<int>::max() - offset ? std::numeric_limits<int>::max()
                                                           : code + offset;
}

// A text command: kind, insertion point, direction, then a blank, a double quote and the
// text running to the end of the line.
std::u16string TextLine(std::u16string_view key, double x1, double y1, double x2, double y2,
                        std::u16string_view text) {
    TLineBuffer line(key);
    AppendValues(line.Text(), x1, y1, x2, y2);
    line.Text().append(u" \"");
    AppendOneLine(line.Text(), text);
    return line.Line();
}

}  // namespace

// Writes "h#" and the comment.
void TJGdata::S_Comment(const std::u16string& s) {
    TLineBuffer line(DavKeys::kComment);
    AppendOneLine(line.Text(), s);
    SendMem(line.Line());
}

// Writes "hn x1 y1 x2 y2" with the rectangle the host gave; nothing when a caller put a
// value there that is no number.
void TJGdata::S_Area() {
    if (!Finite(AreaX1, AreaY1, AreaX2, AreaY2)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kArea, AreaX1, AreaY1, AreaX2, AreaY2));
}

// Colour in the caller's numbering: 0 or less is the host's current colour, 1..9 stay,
// 10 and above are the SXF colours 101 onwards.
int TJGdata::ConvColNo(int col) const {
    if (col <= 0) {
        return CurCol;
    }
    if (col <= 9) {
        return col;
    }
    return AddCapped(col, 91);
}

// Line type in the caller's numbering: 0 or less is the host's current type, 1..9 stay,
// 10..18 move up by one, 19 and above by twelve.
int TJGdata::ConvLtpNo(int ltp) const {
    if (ltp <= 0) {
        return CurLtp;
    }
    if (ltp <= 9) {
        return ltp;
    }
    if (ltp <= 18) {
        return ltp + 1;
    }
    return AddCapped(ltp, 12);
}

// Writes "lg<hex>" when the group changed; a new group forces the next layer line.
void TJGdata::S_LGrp(int lgrp) {
    if (!w_FlgLGrp && lgrp == w_LGrp) {
        return;
    }
    SendMem(KeyWithHex(DavKeys::kLayerGroup, lgrp));
    w_LGrp = lgrp;
    w_FlgLGrp = false;
    w_FlgLay = true;
}

// Writes "ly<hex>" when the layer changed.
void TJGdata::S_Lay(int lay) {
    if (!w_FlgLay && lay == w_Lay) {
        return;
    }
    SendMem(KeyWithHex(DavKeys::kLayer, lay));
    w_Lay = lay;
    w_FlgLay = false;
}

// Writes "lc<n>" when the colour changed. A colour line also ends the forcing of the solid
// colour: from then on S_SColRGB writes only a changed value (S_SCol writes whenever the last
// colour sent is not 10, forced or not).
void TJGdata::S_Col(int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    if (!w_FlgCol && col == w_Col) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kColour, col));
    w_Col = col;
    w_FlgCol = false;
    w_FlgSCol = false;
}

// Writes "lt<n>" when the line type changed.
void TJGdata::S_Ltp(int ltp, int mode) {
    if (mode == 1) {
        ltp = ConvLtpNo(ltp);
    }
    if (!w_FlgLtp && ltp == w_Ltp) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kLineType, ltp));
    w_Ltp = ltp;
    w_FlgLtp = false;
}

// Writes "lw<n>" when the width changed, and only for a host that sent widths itself.
// -1 is the host's current width; anything outside 0..30000 is 0.
void TJGdata::S_Wid(int wid) {
    if (!WidF) {
        return;
    }
    wid = Width(wid, CurWid);
    if (!w_FlgWid && wid == w_Wid) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kLineWidth, wid));
    w_Wid = wid;
    w_FlgWid = false;
}

// Writes "cn<n>" for one of the host's text types, or "cn0 w h d c" for a free size.
// A number outside 0..10 takes the host's current text type with its free size.
void TJGdata::S_Mjs(int mjs, double mw, double mh, double md, int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    TText::TakeTextType(*this, mjs, mw, mh, md, col);
    // A free size that is no number is not written and leaves the writer as it was.
    if (mjs == 0 && !Finite(mw, mh, md)) {
        return;
    }
    const bool sizeChanged =
        mjs == 0 && (mw != w_MjsW || mh != w_MjsH || md != w_MjsD || col != w_MjsC);
    if (!w_FlgMjs && mjs == w_Mjs && !sizeChanged) {
        return;
    }
    if (mjs != 0) {
        SendMem(KeyWithInt(DavKeys::kTextType, mjs));
    } else {
        SendMem(KeyWithInt(DavKeys::kTextType, 0, mw, mh, md, static_cast<double>(col)));
        w_MjsW = mw;
        w_MjsH = mh;
        w_MjsD = md;
        w_MjsC = col;
    }
    w_Mjs = mjs;
    w_FlgMjs = false;
}

// Writes "cc<n>" when the base point changed; codes outside 0..8 are 0.
void TJGdata::S_Mbs(int mbs) {
    mbs = BasePoint(mbs);
    if (!w_FlgMbs && mbs == w_Mbs) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kBasePoint, mbs));
    w_Mbs = mbs;
    w_FlgMbs = false;
}

// Writes "cn", a double quote, "$" and the font text when the font changed. An empty font
// or "<>" is the host's current font. The text is compared and remembered as it is written,
// with its line breaks as blanks.
void TJGdata::S_Font(const std::u16string& fnt) {
    const std::u16string_view font = Font(fnt, CurFont);
    if (!w_FlgFont && SameOneLine(font, w_Font)) {
        return;
    }
    TLineBuffer line(DavKeys::kFontQuoted);
    const std::size_t start = line.Text().size();
    AppendOneLine(line.Text(), font);
    w_Font.assign(line.Text(), start);
    SendMem(line.Line());
    w_FlgFont = false;
}

// Writes "pn<n>" when the point colour changed.
void TJGdata::S_PCol(int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    if (!w_FlgPCol && col == w_PtCol) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kPointColour, col));
    w_PtCol = col;
    w_FlgPCol = false;
}

// Writes "lc10 <n>": colour code 10 with a 24-bit solid colour. It also sets the colour to
// 10, so it is due whenever the last colour sent was another one.
void TJGdata::S_SCol(int col) {
    col = SolidColour(col);
    if (!w_FlgCol && w_Col == kSolidColourCode && !w_FlgSCol && col == w_SlCol) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kColour, kSolidColourCode, col));
    w_SlCol = col;
    w_FlgSCol = false;
    w_Col = kSolidColourCode;
    w_FlgCol = false;
}

// Writes "lc10 <n>" with the solid colour packed from red, green and blue (each 0..255,
// anything else 0). Leaves the colour itself alone.
void TJGdata::S_SColRGB(int r, int g, int b) {
    const int value = PackRGB(r, g, b);
    if (!w_FlgSCol && value == w_SlCol) {
        return;
    }
    SendMem(KeyWithInt(DavKeys::kColour, kSolidColourCode, value));
    w_SlCol = value;
    w_FlgSCol = false;
}

// Writes the marks "z1" to "z5" of the attribute bits 1, 2, 4, 8, 16; bit 16 stands for
// bit 8 as well. Nothing is remembered.
void TJGdata::S_Attr(int att) {
    const int bits = AttrBits(att);
    for (std::size_t k = 0; k < DavKeys::kAttrMarks.size(); ++k) {
        if ((bits & (1 << k)) != 0) {
            SendMem(std::u16string(DavKeys::kAttrMarks[k]));
        }
    }
}

void TJGdata::S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5) {
    S_Attr((at1 ? kAttrBit1 : 0) | (at2 ? kAttrBit2 : 0) | (at3 ? kAttrBit3 : 0) |
           (at4 ? kAttrBit4 : 0) | (at5 ? kAttrBit5 : 0));
}

void TJGdata::S_Attr(int at1, int at2, int at3, int at4, int at5) {
    S_Attr(at1 != 0, at2 != 0, at3 != 0, at4 != 0, at5 != 0);
}

// Writes one text: "ch x1 y1 x2 y2" and the text after a double quote. The keyword comes
// from the kind 0..9; any other kind is horizontal. A text without a direction or without
// anything but blanks is not written.
void TJGdata::S_Text(int no, double x1, double y1, double x2, double y2, const std::u16string& m) {
    if (!Finite(x1, y1, x2, y2) || !TText::Valid(x2, y2, m)) {
        return;
    }
    SendMem(TextLine(TText::KeyOf(no), x1, y1, x2, y2, m));
}

// Writes a dimension as "msg", the dimension line and its "cs" text. A blank text is
// replaced by the measured length of the line.
void TJGdata::S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
    if (!Finite(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2) ||
        !TDim::Valid(lx1, ly1, lx2, ly2, tx2, ty2)) {
        return;
    }
    const bool blank = IsBlankText(m);
    const std::u16string measured = blank ? MeasuredText(lx1, ly1, lx2, ly2) : u"";
    // A blank text whose length is no number has nothing to show.
    if (blank && measured.empty()) {
        return;
    }
    SendMem(std::u16string(TDim::kKey));
    SendMem(MakeLine(TLine::kKey, lx1, ly1, lx2, ly2));
    SendMem(TextLine(TText::KeyOf(DavKeys::kDimensionTextKind), tx1, ty1, tx2, ty2,
                     blank ? std::u16string_view(measured) : std::u16string_view(m)));
}
