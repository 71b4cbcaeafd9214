// DavGaibuCommands: the attribute, text and dimension commands of TJGdata, and the two
// commands that pass host data straight back.
#include "DavGaibu.h"

#include <cmath>    // for std::fabs, std::trunc
#include <cstdint>  // for the 32-bit pattern of a hexadecimal number
#include <limits>
#include <string>
#include <string_view>

#include "exchange/DavCommandLine.h"
#include "exchange/DavKeys.h"
#include "util/MyFunc.h"

using DavCommandLine::AppendValue;
using DavCommandLine::LineBuffer;
using DavCommandLine::MakeLine;
using DavCommandLine::StartLine;

namespace {

// A direction vector shorter than this in both coordinates gives no direction.
constexpr double kMinLen = 1e-10;
// Measured dimension lengths are brought to ten decimal places.
constexpr double kDimStep = 1e-10;
// The colour code that stands for "solid colour follows".
constexpr int kSolidColourCode = 10;
constexpr int kMaxWidth = 30000;
constexpr int kMaxTextType = 10;
constexpr int kMaxBasePoint = 8;
constexpr int kMaxSolidColour = 0xFFFFFF;
constexpr int kMaxComponent = 255;
// Attribute bits and their marks "z1" to "z5".
constexpr int kAttrBit1 = 1, kAttrBit2 = 2, kAttrBit3 = 4, kAttrBit4 = 8, kAttrBit5 = 16;

// A line break inside a text would end the command line early and hand the rest of the text
// to the host as a command of its own; each CR and LF stands as a blank instead.
constexpr char16_t SingleLineChar(char16_t c) {
    return (c == u'\r' || c == u'\n') ? u' ' : c;
}

void AppendSingleLine(std::u16string& line, std::u16string_view text) {
    const std::size_t start = line.size();
    line.append(text);
    for (std::size_t i = start; i < line.size(); ++i) {
        line[i] = SingleLineChar(line[i]);
    }
}

// Whether text, once its line breaks are blanks, equals the remembered value.
bool SameSingleLine(std::u16string_view text, std::u16string_view remembered) {
    if (text.size() != remembered.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (SingleLineChar(text[i]) != remembered[i]) {
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
    std::u16string& line = LineBuffer(key);
    AppendHexText(line, value);
    return std::u16string(line);
}

// The keyword with an integer glued on, left in the line buffer for further values.
std::u16string& StartKeyWithInt(std::u16string_view key, int value) {
    std::u16string& line = LineBuffer(key);
    AppendIntText(line, value);
    return line;
}

std::u16string KeyWithInt(std::u16string_view key, int value) {
    return std::u16string(StartKeyWithInt(key, value));
}

// code + offset, held at the largest Integer instead of overflowing.
int AddCapped(int code, int offset) {
    return code > std::numeric_limits<int>::max() - offset ? std::numeric_limits<int>::max()
                                                           : code + offset;
}

// Whether a text holds nothing but blanks and control characters.
bool IsBlankText(std::u16string_view text) {
    return StripBlanks(text).empty();
}

bool NoDirection(double dx, double dy) {
    return std::fabs(dx) <= kMinLen && std::fabs(dy) <= kMinLen;
}

// A text command: kind, insertion point, direction, then a blank, a double quote and the
// text running to the end of the line.
std::u16string TextLine(std::u16string_view key, double x1, double y1, double x2, double y2,
                        std::u16string_view text) {
    std::u16string& line = StartLine(key, x1, y1, x2, y2);
    line.append(u" \"");
    AppendSingleLine(line, text);
    return std::u16string(line);
}

}  // namespace

// Writes "h#" and the comment.
void TJGdata::S_Comment(const std::u16string& s) {
    std::u16string& line = LineBuffer(DavKeys::kComment);
    AppendSingleLine(line, s);
    SendMem(std::u16string(line));
}

// Writes "hn x1 y1 x2 y2" with the rectangle the host gave.
void TJGdata::S_Area() {
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

// Writes "lc<n>" when the colour changed; the solid colour must then be sent again.
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
    if (wid == -1) {
        wid = CurWid;
    }
    if (wid < 0 || wid > kMaxWidth) {
        wid = 0;
    }
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
    if (mjs < 0 || mjs > kMaxTextType) {
        mjs = CurMjs;
        if (mjs == 0) {
            mw = CurMjsW;
            mh = CurMjsH;
            md = CurMjsD;
            col = CurMjsC;
        }
    }
    const bool sizeChanged =
        mjs == 0 && (mw != w_MjsW || mh != w_MjsH || md != w_MjsD || col != w_MjsC);
    if (!w_FlgMjs && mjs == w_Mjs && !sizeChanged) {
        return;
    }
    if (mjs != 0) {
        SendMem(KeyWithInt(DavKeys::kTextType, mjs));
    } else {
        std::u16string& line = StartKeyWithInt(DavKeys::kTextType, 0);
        for (double v : {mw, mh, md, static_cast<double>(col)}) {
            AppendValue(line, v);
        }
        SendMem(std::u16string(line));
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
    if (mbs < 0 || mbs > kMaxBasePoint) {
        mbs = 0;
    }
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
    const std::u16string_view font =
        (fnt.empty() || fnt == u"<>") ? std::u16string_view(CurFont) : std::u16string_view(fnt);
    if (!w_FlgFont && SameSingleLine(font, w_Font)) {
        return;
    }
    std::u16string& line = LineBuffer(DavKeys::kTextType);
    line.append(u"\"$");
    const std::size_t start = line.size();
    AppendSingleLine(line, font);
    w_Font.assign(line, start);
    SendMem(std::u16string(line));
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
    if (col < 0 || col > kMaxSolidColour) {
        col = 0;
    }
    if (!w_FlgCol && w_Col == kSolidColourCode && !w_FlgSCol && col == w_SlCol) {
        return;
    }
    std::u16string& line = StartKeyWithInt(DavKeys::kColour, kSolidColourCode);
    AppendValue(line, col);
    SendMem(std::u16string(line));
    w_SlCol = col;
    w_FlgSCol = false;
    w_Col = kSolidColourCode;
    w_FlgCol = false;
}

// Writes "lc10 <n>" with the solid colour packed from red, green and blue (each 0..255,
// anything else 0). Leaves the colour itself alone.
void TJGdata::S_SColRGB(int r, int g, int b) {
    const auto component = [](int c) { return (c < 0 || c > kMaxComponent) ? 0 : c; };
    const int value = component(r) + 256 * component(g) + 65536 * component(b);
    if (!w_FlgSCol && value == w_SlCol) {
        return;
    }
    std::u16string& line = StartKeyWithInt(DavKeys::kColour, kSolidColourCode);
    AppendValue(line, value);
    SendMem(std::u16string(line));
    w_SlCol = value;
    w_FlgSCol = false;
}

// Writes the marks "z1" to "z5" of the attribute bits 1, 2, 4, 8, 16; bit 16 stands for
// bit 8 as well. Nothing is remembered.
void TJGdata::S_Attr(int att) {
    const auto& marks = DavKeys::kAttrMarks;
    if ((att & kAttrBit1) != 0) {
        SendMem(std::u16string(marks[0]));
    }
    if ((att & kAttrBit2) != 0) {
        SendMem(std::u16string(marks[1]));
    }
    if ((att & kAttrBit3) != 0) {
        SendMem(std::u16string(marks[2]));
    }
    if ((att & kAttrBit4) != 0 && (att & kAttrBit5) == 0) {
        SendMem(std::u16string(marks[3]));
    }
    if ((att & kAttrBit5) != 0) {
        SendMem(std::u16string(marks[4]));
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
    if (NoDirection(x2, y2) || IsBlankText(m)) {
        return;
    }
    const int kind = (no >= 0 && no < static_cast<int>(DavKeys::kTextKinds.size())) ? no : 0;
    SendMem(TextLine(DavKeys::kTextKinds[kind], x1, y1, x2, y2, m));
}

// Writes a dimension as "msg", the dimension line and its "cs" text. A blank text is
// replaced by the measured length of the line.
void TJGdata::S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
    if (std::fabs(lx2 - lx1) < kMinLen && std::fabs(ly2 - ly1) < kMinLen) {
        return;
    }
    if (NoDirection(tx2, ty2)) {
        return;
    }
    std::u16string measured;
    if (IsBlankText(m)) {
        const double len = PointDistance(lx1, ly1, lx2, ly2);
        AppendFloatText(measured, std::trunc(len / kDimStep + 0.5) * kDimStep);
    }
    SendMem(std::u16string(DavKeys::kDimensionStart));
    SendMem(MakeLine(u"", lx1, ly1, lx2, ly2));
    SendMem(TextLine(DavKeys::kTextKinds[DavKeys::kDimensionTextKind], tx1, ty1, tx2, ty2,
                     measured.empty() ? std::u16string_view(m) : std::u16string_view(measured)));
}
