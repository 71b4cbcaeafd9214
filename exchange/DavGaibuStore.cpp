// DavGaibuStore: the entity store of TJGdata, its attribute setters, appenders and display colours.
#include "DavGaibu.h"

#include <array>
#include <cmath>

#include "util/MyFunc.h"

namespace {

// Every tolerance of the store: lengths, radii, ratios and direction components.
constexpr double kMinLen = 1e-10;

constexpr int kMaxWid = 30000;
constexpr int kMaxSolidColour = 16777215;  // 24-bit RGB

// Two points coincide when both coordinate differences are below the tolerance.
bool Coincide(double x1, double y1, double x2, double y2) {
    return std::fabs(x2 - x1) < kMinLen && std::fabs(y2 - y1) < kMinLen;
}

// A direction vector too short to give a text its angle.
bool NoDirection(double dx, double dy) {
    return std::fabs(dx) <= kMinLen && std::fabs(dy) <= kMinLen;
}

// A text that would show nothing: empty, or only blanks and control characters.
bool IsBlankText(const std::u16string& text) {
    return StripBlanks(text).empty();
}

bool IsTextType(int cn) {
    return cn >= 1 && cn <= 10;
}

constexpr int PackRGB(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

// The screen colour of the host's colour codes 1..9 and 101..116.
constexpr std::array<int, 10> kBaseColours = {
    0,  // unused
    PackRGB(0, 192, 192),
    PackRGB(0, 0, 0),
    PackRGB(0, 192, 0),
    PackRGB(192, 192, 0),
    PackRGB(192, 0, 192),
    PackRGB(0, 0, 255),
    PackRGB(0, 128, 128),
    PackRGB(255, 0, 128),
    PackRGB(255, 128, 255),
};
constexpr std::array<int, 16> kSxfColours = {
    PackRGB(0, 0, 0),     PackRGB(255, 0, 0),    PackRGB(0, 255, 0),     PackRGB(0, 0, 255),
    PackRGB(255, 255, 0), PackRGB(255, 0, 255),  PackRGB(0, 255, 255),   PackRGB(0, 0, 0),
    PackRGB(192, 0, 128), PackRGB(192, 128, 64), PackRGB(255, 128, 0),   PackRGB(128, 192, 128),
    PackRGB(0, 128, 255), PackRGB(128, 64, 255), PackRGB(192, 192, 192), PackRGB(128, 128, 128),
};

// The length of a dimension line as its text: ten decimals, halves rounded up.
std::u16string MeasuredText(double lx1, double ly1, double lx2, double ly2) {
    const double d = PointDistance(lx1, ly1, lx2, ly2);
    return FloatToText(std::trunc(d / kMinLen + 0.5) * kMinLen);
}

}  // namespace

// --- Attribute setters: they change the current attributes, never the writer's force flags.

void TJGdata::A_LGrp(int lgrp) {
    w_LGrp = lgrp;
}

void TJGdata::A_Lay(int lay) {
    w_Lay = lay;
}

void TJGdata::A_Col(int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    w_Col = col;
    aCol = GetColorDisp(col);
}

void TJGdata::A_Ltp(int ltp, int mode) {
    if (mode == 1) {
        ltp = ConvLtpNo(ltp);
    }
    w_Ltp = ltp;
}

void TJGdata::A_Wid(int wid) {
    if (wid == -1) {
        wid = CurWid;
    }
    if (wid < 0 || wid > kMaxWid) {
        wid = 0;
    }
    w_Wid = wid;
}

void TJGdata::A_Mjs(int mjs, double mw, double mh, double md, int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    if (mjs < 0 || mjs > 10) {
        mjs = CurMjs;
        if (CurMjs == 0) {
            mw = CurMjsW;
            mh = CurMjsH;
            md = CurMjsD;
            col = CurMjsC;
        }
    }
    w_MjsW = mw;
    w_MjsH = mh;
    w_MjsD = md;
    w_MjsC = col;
    w_Mjs = mjs;
    aCol = GetColorDisp(col);
}

void TJGdata::A_Mbs(int mbs) {
    if (mbs < 0 || mbs > 8) {
        mbs = 0;
    }
    w_Mbs = mbs;
}

void TJGdata::A_Font(const std::u16string& fnt) {
    w_Font = (fnt.empty() || fnt == u"<>") ? CurFont : fnt;
}

void TJGdata::A_PCol(int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    w_PtCol = col;
    aCol = GetColorDisp(col);
}

void TJGdata::A_SCol(int col) {
    if (col < 0 || col > kMaxSolidColour) {
        col = 0;
    }
    w_SlCol = col;
    aSCol = col;
}

void TJGdata::A_SColRGB(int r, int g, int b) {
    auto component = [](int v) { return (v < 0 || v > 255) ? 0 : v; };
    w_SlCol = PackRGB(component(r), component(g), component(b));
    aSCol = w_SlCol;
}

void TJGdata::A_Attr(int att) {
    // Mark 4 (bit 8) is dropped when mark 5 (bit 16) is set: the host knows only one of them.
    int bits = att & (1 | 2 | 4 | 16);
    if ((att & 8) != 0 && (att & 16) == 0) {
        bits += 8;
    }
    w_Attr = bits;
}

int TJGdata::GetColorDisp(int col) const {
    if (col >= 1 && col <= 9) {
        return kBaseColours[static_cast<size_t>(col)];
    }
    if (col >= 101 && col <= 116) {
        return kSxfColours[static_cast<size_t>(col - 101)];
    }
    return 0;
}

// --- Appenders with the current attributes. A rejected call changes nothing.

void TJGdata::A_Line(double ax1, double ay1, double ax2, double ay2) {
    if (Coincide(ax1, ay1, ax2, ay2)) {
        return;
    }
    TDavEntLine& e = NewEntity(kKindLine, EntLine, EntLineN);
    e.CrvNo = 0;
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
}

void TJGdata::A_Ten(double ax, double ay) {
    TDavEntPnt& e = NewEntity(kKindPoint, EntPnt, EntPntN);
    e.px = ax;
    e.py = ay;
    e.att.Col = w_PtCol;
}

void TJGdata::A_Mark(double ax, double ay, double abai, double aang, int acod) {
    if (acod < -7 || acod > 11) {
        acod = -3;
    }
    if (std::fabs(abai) <= kMinLen) {
        abai = 1.0;
    }
    TDavEntMark& e = NewEntity(kKindMark, EntMark, EntMarkN);
    e.px = ax;
    e.py = ay;
    e.bai = abai;
    e.ang = aang;
    e.cod = acod;
    e.att.Col = w_PtCol;
}

void TJGdata::A_Circle(double ax, double ay, double ar) {
    if (ar <= kMinLen) {
        return;
    }
    TDavEntCircle& e = NewEntity(kKindCircle, EntCirc, EntCircN);
    e.cx = ax;
    e.cy = ay;
    e.cr = ar;
}

void TJGdata::A_Arc(double ax, double ay, double ar, double asa, double aea, double ah,
                    double aka) {
    if (ar <= kMinLen) {
        return;
    }
    if (std::fabs(ah) <= kMinLen) {
        ah = 1.0;
    }
    TDavEntArc& e = NewEntity(kKindArc, EntArc, EntArcN);
    e.cx = ax;
    e.cy = ay;
    e.cr = ar;
    e.sa = asa;
    e.ea = aea;
    e.he = ah;
    e.ka = aka;
}

namespace {

// Sizes and colour of a new text: its text type's entry, or the free sizes when the type is
// none of the host's ten.
void FillTextSettings(TDavEntText& t, const TJGdata& jg) {
    t.cc = jg.w_Mbs;
    t.cn = jg.w_Mjs;
    if (IsTextType(t.cn)) {
        const TDavMojisyu& m = jg.Mojisyu[static_cast<size_t>(t.cn)];
        t.mw = m.W;
        t.mh = m.H;
        t.md = m.D;
        t.att.Col = m.C;
    } else {
        t.mw = jg.w_MjsW;
        t.mh = jg.w_MjsH;
        t.md = jg.w_MjsD;
        t.att.Col = jg.w_MjsC;
    }
}

}  // namespace

void TJGdata::A_Text(int ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
    if (ano < 0 || ano > 9) {
        ano = 0;
    }
    if (NoDirection(ax2, ay2) || IsBlankText(am)) {
        return;
    }
    TDavEntText& e = NewEntity(kKindText, EntText, EntTextN);
    e.no = ano;
    FillTextSettings(e, *this);
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
    e.fo = w_Font;
    e.st = am;
}

void TJGdata::A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
    if (Coincide(lx1, ly1, lx2, ly2) || NoDirection(tx2, ty2)) {
        return;
    }
    std::u16string text = IsBlankText(m) ? MeasuredText(lx1, ly1, lx2, ly2) : m;
    TDavEntDim& e = NewEntity(kKindDim, EntDim, EntDimN);
    SetEntAttr(e.lin.att);
    e.lin.CrvNo = 0;
    e.lin.x1 = lx1;
    e.lin.y1 = ly1;
    e.lin.x2 = lx2;
    e.lin.y2 = ly2;
    SetEntAttr(e.txt.att);
    e.txt.no = 2;
    FillTextSettings(e.txt, *this);
    e.txt.x1 = tx1;
    e.txt.y1 = ty1;
    e.txt.x2 = tx2;
    e.txt.y2 = ty2;
    e.txt.fo = w_Font;
    e.txt.st = std::move(text);
}

void TJGdata::A_Solid2(double ax1, double ay1, double ax2, double ay2) {
    if (Coincide(ax1, ay1, ax2, ay2)) {
        return;
    }
    TDavEntSld2& e = NewEntity(kKindSolid2, EntSld2, EntSld2N);
    e.Color = w_SlCol;
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
}

void TJGdata::A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3) {
    // Collinear corners are accepted; only coinciding ones are not.
    if (Coincide(ax1, ay1, ax2, ay2) || Coincide(ax2, ay2, ax3, ay3) ||
        Coincide(ax3, ay3, ax1, ay1)) {
        return;
    }
    TDavEntSld3& e = NewEntity(kKindSolid3, EntSld3, EntSld3N);
    e.Color = w_SlCol;
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
    e.x3 = ax3;
    e.y3 = ay3;
}

void TJGdata::A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                       double ax4, double ay4) {
    // Two coinciding neighbours leave a triangle; coinciding diagonal corners leave nothing.
    if (Coincide(ax1, ay1, ax2, ay2)) {
        A_Solid3(ax1, ay1, ax3, ay3, ax4, ay4);
        return;
    }
    if (Coincide(ax1, ay1, ax3, ay3)) {
        return;
    }
    if (Coincide(ax1, ay1, ax4, ay4)) {
        A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3);
        return;
    }
    if (Coincide(ax2, ay2, ax3, ay3)) {
        A_Solid3(ax1, ay1, ax2, ay2, ax4, ay4);
        return;
    }
    if (Coincide(ax2, ay2, ax4, ay4)) {
        return;
    }
    if (Coincide(ax3, ay3, ax4, ay4)) {
        A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3);
        return;
    }
    TDavEntSld4& e = NewEntity(kKindSolid4, EntSld4, EntSld4N);
    e.Color = w_SlCol;
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
    e.x3 = ax3;
    e.y3 = ay3;
    e.x4 = ax4;
    e.y4 = ay4;
}

namespace {

// Circular and ring solids share their shape tests.
bool BadDisc(double ar, double ah) {
    return ar <= kMinLen || std::fabs(ah) <= kMinLen;
}

bool BadRing(double ar, double ah, double ari) {
    return BadDisc(ar, ah) || ari <= kMinLen || ari >= ar - kMinLen;
}

template <class T>
void FillDisc(T& e, int colour, double ax, double ay, double ar, double ah, double aka, double asa,
              double ada) {
    e.Color = colour;
    e.cx = ax;
    e.cy = ay;
    e.cr = ar;
    e.he = ah;
    e.ka = aka;
    e.sa = asa;
    e.da = ada;
}

}  // namespace

void TJGdata::A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int acod) {
    if (BadDisc(ar, ah) || (acod != 100 && acod != 5 && acod != 0 && acod != -1)) {
        return;
    }
    TDavEntSldC& e = NewEntity(kKindSolidC, EntSldC, EntSldCN);
    FillDisc(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
    e.fl = acod;
}

void TJGdata::A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int acod) {
    if (BadDisc(ar, ah) || (acod != 100 && acod != 0)) {
        return;
    }
    TDavEntSldC& e = NewEntity(kKindSolidE, EntSldE, EntSldEN);
    FillDisc(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
    e.fl = acod;
}

void TJGdata::A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
    if (BadRing(ar, ah, ari)) {
        return;
    }
    TDavEntSldD& e = NewEntity(kKindSolidO, EntSldO, EntSldON);
    FillDisc(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
    e.ri = ari;
}

void TJGdata::A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
    if (BadRing(ar, ah, ari)) {
        return;
    }
    TDavEntSldD& e = NewEntity(kKindSolidG, EntSldG, EntSldGN);
    FillDisc(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
    e.ri = ari;
}

// --- Appenders with explicit attributes: the plain call decides, then the new record, if
// there is one, takes the given attributes in place of the current ones.

namespace {

template <class T>
void GiveAttr(std::vector<T>& list, int countBefore, int countAfter, const TDavEntAttr& at) {
    if (countAfter > countBefore) {
        TJGdata::CopyEntAttr(list[static_cast<size_t>(countAfter) - 1].att, at);
    }
}

}  // namespace

void TJGdata::A_Line(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2) {
    const int n = EntLineN;
    A_Line(ax1, ay1, ax2, ay2);
    GiveAttr(EntLine, n, EntLineN, at);
}

void TJGdata::A_Ten(TDavEntAttr at, double ax, double ay) {
    const int n = EntPntN;
    A_Ten(ax, ay);
    GiveAttr(EntPnt, n, EntPntN, at);
}

void TJGdata::A_Mark(TDavEntAttr at, double ax, double ay, double abai, double aang, int acod) {
    const int n = EntMarkN;
    A_Mark(ax, ay, abai, aang, acod);
    GiveAttr(EntMark, n, EntMarkN, at);
}

void TJGdata::A_Circle(TDavEntAttr at, double ax, double ay, double ar) {
    const int n = EntCircN;
    A_Circle(ax, ay, ar);
    GiveAttr(EntCirc, n, EntCircN, at);
}

void TJGdata::A_Arc(TDavEntAttr at, double ax, double ay, double ar, double asa, double aea,
                    double ah, double aka) {
    const int n = EntArcN;
    A_Arc(ax, ay, ar, asa, aea, ah, aka);
    GiveAttr(EntArc, n, EntArcN, at);
}

void TJGdata::A_Text(TDavEntAttr at, int ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
    const int n = EntTextN;
    A_Text(ano, ax1, ay1, ax2, ay2, am);
    GiveAttr(EntText, n, EntTextN, at);
}

void TJGdata::A_Dim(TDavEntAttr at, double lx1, double ly1, double lx2, double ly2, double tx1,
                    double ty1, double tx2, double ty2, const std::u16string& m) {
    const int n = EntDimN;
    A_Dim(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2, m);
    if (EntDimN <= n) {
        return;
    }
    TDavEntDim& e = EntDim[static_cast<size_t>(EntDimN) - 1];
    CopyEntAttr(e.att, at);
    CopyEntAttr(e.lin.att, at);
    CopyEntAttr(e.txt.att, at);
    // The text of a host text type keeps that type's colour.
    if (IsTextType(e.txt.cn)) {
        e.txt.att.Col = Mojisyu[static_cast<size_t>(e.txt.cn)].C;
    }
}

void TJGdata::A_Solid2(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2) {
    const int n = EntSld2N;
    A_Solid2(ax1, ay1, ax2, ay2);
    GiveAttr(EntSld2, n, EntSld2N, at);
}

void TJGdata::A_Solid3(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                       double ay3) {
    const int n = EntSld3N;
    A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3);
    GiveAttr(EntSld3, n, EntSld3N, at);
}

void TJGdata::A_Solid4(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                       double ay3, double ax4, double ay4) {
    // A reduced solid lands in the three-point list; the attributes follow it there.
    const int n3 = EntSld3N;
    const int n4 = EntSld4N;
    A_Solid4(ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4);
    GiveAttr(EntSld3, n3, EntSld3N, at);
    GiveAttr(EntSld4, n4, EntSld4N, at);
}

void TJGdata::A_SolidC(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, int acod) {
    const int n = EntSldCN;
    A_SolidC(ax, ay, ar, ah, aka, asa, ada, acod);
    GiveAttr(EntSldC, n, EntSldCN, at);
}

void TJGdata::A_SolidD(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, int acod) {
    const int n = EntSldEN;
    A_SolidD(ax, ay, ar, ah, aka, asa, ada, acod);
    GiveAttr(EntSldE, n, EntSldEN, at);
}

void TJGdata::A_SolidO(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, double ari) {
    const int n = EntSldON;
    A_SolidO(ax, ay, ar, ah, aka, asa, ada, ari);
    GiveAttr(EntSldO, n, EntSldON, at);
}

void TJGdata::A_SolidG(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, double ari) {
    const int n = EntSldGN;
    A_SolidG(ax, ay, ar, ah, aka, asa, ada, ari);
    GiveAttr(EntSldG, n, EntSldGN, at);
}
