// DavGaibuStore: the entity store of TJGdata, its attribute setters, appenders and display colours.
#include "DavGaibu.h"

#include <array>
#include <string>
#include <utility>  // for std::move

#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"
#include "util/MyFunc.h"

namespace {

using namespace DavRules;
using namespace DavKinds;

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
    w_Wid = Width(wid, CurWid);
}

void TJGdata::A_Mjs(int mjs, double mw, double mh, double md, int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    TText::TakeTextType(*this, mjs, mw, mh, md, col);
    // Sizes that are no numbers change nothing: a later text of a free size would carry them.
    if (!Finite(mw, mh, md)) {
        return;
    }
    w_MjsW = mw;
    w_MjsH = mh;
    w_MjsD = md;
    w_MjsC = col;
    w_Mjs = mjs;
    aCol = GetColorDisp(col);
}

void TJGdata::A_Mbs(int mbs) {
    w_Mbs = BasePoint(mbs);
}

void TJGdata::A_Font(const std::u16string& fnt) {
    w_Font = Font(fnt, CurFont);
}

void TJGdata::A_PCol(int col, int mode) {
    if (mode == 1) {
        col = ConvColNo(col);
    }
    w_PtCol = col;
    aCol = GetColorDisp(col);
}

void TJGdata::A_SCol(int col) {
    w_SlCol = SolidColour(col);
    aSCol = w_SlCol;
}

void TJGdata::A_SColRGB(int r, int g, int b) {
    w_SlCol = PackRGB(r, g, b);
    aSCol = w_SlCol;
}

void TJGdata::A_Attr(int att) {
    w_Attr = AttrBits(att);
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

// --- Appenders with the current attributes. Each kind's rule (DavKinds) decides, after the
// check that every real is a finite number; a rejected call changes nothing but A_Stored,
// which each call clears first and NewEntity sets when a record is stored.

void TJGdata::A_Line(double ax1, double ay1, double ax2, double ay2) {
    ClearStored();
    if (!Finite(ax1, ay1, ax2, ay2) || !TLine::Valid(ax1, ay1, ax2, ay2)) {
        return;
    }
    TDavEntLine& e = TLine::Append(*this);
    e.CrvNo = 0;
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
}

void TJGdata::A_Ten(double ax, double ay) {
    ClearStored();
    if (!Finite(ax, ay)) {
        return;
    }
    TDavEntPnt& e = TPoint::Append(*this);
    e.px = ax;
    e.py = ay;
    e.att.Col = w_PtCol;
}

void TJGdata::A_Mark(double ax, double ay, double abai, double aang, int acod) {
    ClearStored();
    if (!Finite(ax, ay, abai, aang)) {
        return;
    }
    TMark::Normalise(abai, acod);
    TDavEntMark& e = TMark::Append(*this);
    e.px = ax;
    e.py = ay;
    e.bai = abai;
    e.ang = aang;
    e.cod = acod;
    e.att.Col = w_PtCol;
}

void TJGdata::A_Circle(double ax, double ay, double ar) {
    ClearStored();
    if (!Finite(ax, ay, ar) || !TCircle::Valid(ar)) {
        return;
    }
    TDavEntCircle& e = TCircle::Append(*this);
    e.cx = ax;
    e.cy = ay;
    e.cr = ar;
}

// A flatness of no size is a circular arc.
void TJGdata::A_Arc(double ax, double ay, double ar, double asa, double aea, double ah,
                    double aka) {
    ClearStored();
    ah = OneIfNone(ah);
    if (!Finite(ax, ay, ar, asa, aea, ah, aka) || !TArc::Valid(ar, ah)) {
        return;
    }
    TDavEntArc& e = TArc::Append(*this);
    e.cx = ax;
    e.cy = ay;
    e.cr = ar;
    e.sa = asa;
    e.ea = aea;
    e.he = ah;
    e.ka = aka;
}

void TJGdata::A_Text(int ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
    ClearStored();
    if (!Finite(ax1, ay1, ax2, ay2) || !TText::Valid(ax2, ay2, am)) {
        return;
    }
    TDavEntText& e = TText::Append(*this);
    e.no = TextKind(ano);
    TText::FillTextSettings(e, *this);
    e.x1 = ax1;
    e.y1 = ay1;
    e.x2 = ax2;
    e.y2 = ay2;
    e.fo = w_Font;
    e.st = am;
}

void TJGdata::A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
    ClearStored();
    if (!Finite(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2) ||
        !TDim::Valid(lx1, ly1, lx2, ly2, tx2, ty2)) {
        return;
    }
    std::u16string text = IsBlankText(m) ? MeasuredText(lx1, ly1, lx2, ly2) : m;
    // A blank text whose length is no number has nothing to show.
    if (text.empty()) {
        return;
    }
    TDavEntDim& e = TDim::Append(*this);
    SetEntAttr(e.lin.att);
    e.lin.CrvNo = 0;
    e.lin.x1 = lx1;
    e.lin.y1 = ly1;
    e.lin.x2 = lx2;
    e.lin.y2 = ly2;
    SetEntAttr(e.txt.att);
    e.txt.no = DavKeys::kDimensionTextKind;
    TText::FillTextSettings(e.txt, *this);
    e.txt.x1 = tx1;
    e.txt.y1 = ty1;
    e.txt.x2 = tx2;
    e.txt.y2 = ty2;
    e.txt.fo = w_Font;
    e.txt.st = std::move(text);
}

void TJGdata::A_Solid2(double ax1, double ay1, double ax2, double ay2) {
    ClearStored();
    if (!Finite(ax1, ay1, ax2, ay2) || !TSolid2::Valid(ax1, ay1, ax2, ay2)) {
        return;
    }
    TDavEntSld2& e = TSolid2::Append(*this);
    e = TDavEntSld2{e.att, w_SlCol, ax1, ay1, ax2, ay2};
}

void TJGdata::A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3) {
    ClearStored();
    if (!Finite(ax1, ay1, ax2, ay2, ax3, ay3) || !TSolid3::Valid(ax1, ay1, ax2, ay2, ax3, ay3)) {
        return;
    }
    TDavEntSld3& e = TSolid3::Append(*this);
    e = TDavEntSld3{e.att, w_SlCol, ax1, ay1, ax2, ay2, ax3, ay3};
}

// A quadrilateral reduced to a triangle lands in the three-point list.
void TJGdata::A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                       double ax4, double ay4) {
    ClearStored();
    if (!Finite(ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4)) {
        return;
    }
    TSolid4::Reduce(
        ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4,
        [this](double x1, double y1, double x2, double y2, double x3, double y3) {
            A_Solid3(x1, y1, x2, y2, x3, y3);
        },
        [&] {
            TDavEntSld4& e = TSolid4::Append(*this);
            e = TDavEntSld4{e.att, w_SlCol, ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4};
        });
}

namespace {

// Centre, radius, flatness, tilt, start and swept angle of a circular or ring solid.
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

// The last value of a circular solid is its code, that of a ring solid its inner radius.
void SetLast(TDavEntSldC& e, int cod) {
    e.fl = cod;
}
void SetLast(TDavEntSldD& e, double ri) {
    e.ri = ri;
}

// A circular ("sc", "se") or ring ("so", "sg") solid of kind K.
template <class K, class TLast>
void AddRound(TJGdata& jg, double ax, double ay, double ar, double ah, double aka, double asa,
              double ada, TLast last) {
    if (!Finite(ax, ay, ar, ah, aka, asa, ada, last) || !K::Valid(ar, ah, last)) {
        return;
    }
    typename K::Rec& e = K::Append(jg);
    FillDisc(e, jg.w_SlCol, ax, ay, ar, ah, aka, asa, ada);
    SetLast(e, last);
}

}  // namespace

void TJGdata::A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int acod) {
    ClearStored();
    AddRound<TSolidC>(*this, ax, ay, ar, ah, aka, asa, ada, acod);
}

void TJGdata::A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int acod) {
    ClearStored();
    AddRound<TSolidE>(*this, ax, ay, ar, ah, aka, asa, ada, acod);
}

void TJGdata::A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
    ClearStored();
    AddRound<TSolidO>(*this, ax, ay, ar, ah, aka, asa, ada, ari);
}

void TJGdata::A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
    ClearStored();
    AddRound<TSolidG>(*this, ax, ay, ar, ah, aka, asa, ada, ari);
}

// --- Appenders with explicit attributes: the plain call decides, then the new record, if
// there is one, takes the given attributes in place of the current ones (each kind's
// TakeAttr). The kinds listed are those the plain call may append to.

namespace {

template <class... K, class F>
void WithAttr(TJGdata& jg, const TDavEntAttr& at, F&& append) {
    const std::array<int, sizeof...(K)> before = {TJGdata::CountIn(K::CountOf(jg), K::ListOf(jg))...};
    append();
    size_t k = 0;
    (
        [&] {
            const int n = K::CountOf(jg);
            if (n > before[k++]) {
                K::TakeAttr(jg, K::ListOf(jg)[static_cast<size_t>(n) - 1], at);
            }
        }(),
        ...);
}

}  // namespace

void TJGdata::A_Line(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2) {
    WithAttr<TLine>(*this, at, [&] { A_Line(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Ten(TDavEntAttr at, double ax, double ay) {
    WithAttr<TPoint>(*this, at, [&] { A_Ten(ax, ay); });
}

void TJGdata::A_Mark(TDavEntAttr at, double ax, double ay, double abai, double aang, int acod) {
    WithAttr<TMark>(*this, at, [&] { A_Mark(ax, ay, abai, aang, acod); });
}

void TJGdata::A_Circle(TDavEntAttr at, double ax, double ay, double ar) {
    WithAttr<TCircle>(*this, at, [&] { A_Circle(ax, ay, ar); });
}

void TJGdata::A_Arc(TDavEntAttr at, double ax, double ay, double ar, double asa, double aea,
                    double ah, double aka) {
    WithAttr<TArc>(*this, at, [&] { A_Arc(ax, ay, ar, asa, aea, ah, aka); });
}

void TJGdata::A_Text(TDavEntAttr at, int ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
    WithAttr<TText>(*this, at, [&] { A_Text(ano, ax1, ay1, ax2, ay2, am); });
}

void TJGdata::A_Dim(TDavEntAttr at, double lx1, double ly1, double lx2, double ly2, double tx1,
                    double ty1, double tx2, double ty2, const std::u16string& m) {
    WithAttr<TDim>(*this, at, [&] { A_Dim(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2, m); });
}

void TJGdata::A_Solid2(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2) {
    WithAttr<TSolid2>(*this, at, [&] { A_Solid2(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Solid3(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                       double ay3) {
    WithAttr<TSolid3>(*this, at, [&] { A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3); });
}

void TJGdata::A_Solid4(TDavEntAttr at, double ax1, double ay1, double ax2, double ay2, double ax3,
                       double ay3, double ax4, double ay4) {
    WithAttr<TSolid3, TSolid4>(*this, at,
                               [&] { A_Solid4(ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4); });
}

void TJGdata::A_SolidC(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, int acod) {
    WithAttr<TSolidC>(*this, at, [&] { A_SolidC(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidD(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, int acod) {
    WithAttr<TSolidE>(*this, at, [&] { A_SolidD(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidO(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, double ari) {
    WithAttr<TSolidO>(*this, at, [&] { A_SolidO(ax, ay, ar, ah, aka, asa, ada, ari); });
}

void TJGdata::A_SolidG(TDavEntAttr at, double ax, double ay, double ar, double ah, double aka,
                       double asa, double ada, double ari) {
    WithAttr<TSolidG>(*this, at, [&] { A_SolidG(ax, ay, ar, ah, aka, asa, ada, ari); });
}
