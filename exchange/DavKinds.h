// DavKinds: one description per entity kind of TJGdata: its code, its record, its list and
// count members, its keyword, its validity rule and its writer. The model's initialisation and
// release, the write-back's dispatch, the appenders with explicit attributes, and the tests'
// model check and dump walk this table instead of naming the fifteen kinds themselves. The
// reader's handlers (DavGaibuEntityLines.cpp) each name the kind they fill and append through
// its description.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/DavGaibu.h"
#include "exchange/DavKeys.h"
#include "exchange/DavRules.h"

namespace DavKinds {

// --- The pieces the writers share.
namespace Write {

// An override forces its value unless it is -1, which keeps the entity's own.
inline int Pick(int forced, int own) {
    return forced == -1 ? own : forced;
}

// Layer group and layer overrides count only inside 0..15.
inline int PickLayer(int forced, int own) {
    return (forced < 0 || forced > DavRules::kMaxLayer) ? own : forced;
}

// Colour, line type and width.
inline void Pen(TJGdata& jg, const TDavEntAttr& pen, const TDavOverrides& o) {
    jg.S_Col(Pick(o.a3, pen.Col), 0);
    jg.S_Ltp(Pick(o.a4, pen.Ltp), 0);
    jg.S_Wid(Pick(o.a5, pen.Wid));
}

// Points and markers: the point colour and the width.
inline void Point(TJGdata& jg, const TDavEntAttr& att, const TDavOverrides& o) {
    jg.S_PCol(Pick(o.a3, att.Col), 0);
    jg.S_Wid(Pick(o.a5, att.Wid));
}

// A text keeps its type and colour, or with a forced text colour becomes a free-size text
// of its stored sizes in that colour.
inline void Text(TJGdata& jg, const TDavEntText& t, const TDavOverrides& o) {
    if (o.a6 == -1) {
        jg.S_Mjs(t.cn, t.mw, t.mh, t.md, t.att.Col, 0);
    } else {
        jg.S_Mjs(0, t.mw, t.mh, t.md, o.a6, 0);
    }
    jg.S_Mbs(Pick(o.a7, t.cc));
    jg.S_Font(t.fo);
}

// Colour code 10 means the solid's own RGB value; a forced 10 means the forced RGB value.
template <class T>
void SolidColour(TJGdata& jg, const T& e, const TDavOverrides& o) {
    using DavRules::kSolidColourCode;
    if (o.a3 == -1) {
        if (e.att.Col == kSolidColourCode) {
            jg.S_SCol(e.Color);
        } else {
            jg.S_Col(e.att.Col, 0);
        }
    } else if (o.a3 == kSolidColourCode) {
        jg.S_SCol(o.a8);
    } else {
        jg.S_Col(o.a3, 0);
    }
}

// The solid colour and the width: the two-point and the "se" solids carry a width.
template <class T>
void SolidColourAndWidth(TJGdata& jg, const T& e, const TDavOverrides& o) {
    SolidColour(jg, e, o);
    jg.S_Wid(Pick(o.a5, e.att.Wid));
}

// Layer group and layer of an entity.
inline void Layers(TJGdata& jg, const TDavEntAttr& att, const TDavOverrides& o) {
    jg.S_LGrp(PickLayer(o.a1, att.LGrp));
    jg.S_Lay(PickLayer(o.a2, att.Lay));
}

}  // namespace Write

// What every description has: the code, the record type, and the list and count members.
// Each kind adds its keyword, its rule, and its writer: Style, the attribute commands between
// the entity's layers and its marks, and Shape, the entity's own command.
template <int Code, class TRec, std::vector<TRec> TJGdata::*List, int TJGdata::*Count>
struct TKind {
    static constexpr int kCode = Code;
    using Rec = TRec;

    static std::vector<TRec>& ListOf(TJGdata& jg) { return jg.*List; }
    static const std::vector<TRec>& ListOf(const TJGdata& jg) { return jg.*List; }
    static int& CountOf(TJGdata& jg) { return jg.*Count; }
    static int CountOf(const TJGdata& jg) { return jg.*Count; }

    // A new record at the end of the list, with its drawing-order entry and the current
    // attributes.
    static TRec& Append(TJGdata& jg) { return jg.NewEntity(Code, jg.*List, jg.*Count); }

    // The record at index no, or nullptr when no is not the index of one of its valid records.
    static const TRec* At(const TJGdata& jg, int no) {
        const std::vector<TRec>& list = jg.*List;
        if (no < 0 || no >= jg.*Count || static_cast<size_t>(no) >= list.size()) {
            return nullptr;
        }
        return &list[static_cast<size_t>(no)];
    }

    // Gives a record the explicit attributes of an A_* call in place of the current ones.
    static void TakeAttr(const TJGdata&, TRec& e, const TDavEntAttr& at) {
        TJGdata::CopyEntAttr(e.att, at);
    }
};

// The write-back's writer of a kind: the private member of TJGdata that writes one record of
// the kind, given its index in its list and the overrides (S_EntLine ... S_EntSldG). The write-back
// dispatches each drawing-order entry to it.
using TEntWriter = void (TJGdata::*)(int, const TDavOverrides&);
template <class K>
struct TWriterOf {
    static constexpr TEntWriter kWriter = nullptr;
};

// A plain line segment: four numbers and no keyword.
struct TLine : TKind<kKindLine, TDavEntLine, &TJGdata::EntLine, &TJGdata::EntLineN> {
    static constexpr const char* kName = "Line";
    static constexpr std::u16string_view kKey = u"";
    static bool Valid(double x1, double y1, double x2, double y2) {
        return !DavRules::Coincide(x1, y1, x2, y2);
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Line(e.x1, e.y1, e.x2, e.y2); }
};
template <>
struct TWriterOf<TLine> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntLine;
};

struct TCircle : TKind<kKindCircle, TDavEntCircle, &TJGdata::EntCirc, &TJGdata::EntCircN> {
    static constexpr const char* kName = "Circ";
    static constexpr std::u16string_view kKey = DavKeys::kCircle;
    // Written as "not at or below", as the host has always taken it.
    static bool Valid(double r) { return !(r <= DavRules::kMinLen); }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Circle(e.cx, e.cy, e.cr); }
};
template <>
struct TWriterOf<TCircle> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntCirc;
};

// An arc or elliptic arc; the store takes a flatness of no size as 1 before the rule.
struct TArc : TKind<kKindArc, TDavEntArc, &TJGdata::EntArc, &TJGdata::EntArcN> {
    static constexpr const char* kName = "Arc";
    static constexpr std::u16string_view kKey = DavKeys::kCircle;
    static bool Valid(double r, double h) { return DavRules::HasShape(r, h); }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka);
    }
};
template <>
struct TWriterOf<TArc> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntArc;
};

// A text needs a direction and something to show; the kind picks the keyword.
struct TText : TKind<kKindText, TDavEntText, &TJGdata::EntText, &TJGdata::EntTextN> {
    static constexpr const char* kName = "Text";
    static constexpr std::u16string_view KeyOf(int no) {
        return DavKeys::kTextKinds[static_cast<size_t>(DavRules::TextKind(no))];
    }
    static bool Valid(double dx, double dy, std::u16string_view text) {
        return !DavRules::NoDirection(dx, dy) && !DavRules::IsBlankText(text);
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) { Write::Text(jg, e, o); }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st); }

    // A text type outside 0..10 is the host's current one, with the host's free sizes and colour
    // when that is 0.
    static void TakeTextType(const TJGdata& jg, int& mjs, double& mw, double& mh, double& md,
                             int& col) {
        if (mjs < 0 || mjs > DavRules::kMaxTextType) {
            mjs = jg.CurMjs;
            if (mjs == 0) {
                mw = jg.CurMjsW;
                mh = jg.CurMjsH;
                md = jg.CurMjsD;
                col = jg.CurMjsC;
            }
        }
    }

    // Sizes, colour and base point of a new text: its text type's entry, or the free sizes when
    // the type is none of the host's ten.
    static void FillTextSettings(TDavEntText& t, const TJGdata& jg) {
        t.cc = jg.w_Mbs;
        t.cn = jg.w_Mjs;
        if (DavRules::IsTextType(t.cn)) {
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
};
template <>
struct TWriterOf<TText> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntText;
};

struct TPoint : TKind<kKindPoint, TDavEntPnt, &TJGdata::EntPnt, &TJGdata::EntPntN> {
    static constexpr const char* kName = "Pnt";
    static constexpr std::u16string_view kKey = DavKeys::kPoint;
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Point(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Ten(e.px, e.py); }
};
template <>
struct TWriterOf<TPoint> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntPnt;
};

// A marker is always taken: an unknown code is the default marker, a scale of no size 1.
struct TMark : TKind<kKindMark, TDavEntMark, &TJGdata::EntMark, &TJGdata::EntMarkN> {
    static constexpr const char* kName = "Mark";
    static constexpr std::u16string_view kKey = DavKeys::kPoint;
    static void Normalise(double& bai, int& cod) {
        cod = DavRules::MarkCode(cod);
        bai = DavRules::OneIfNone(bai);
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Point(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Mark(e.px, e.py, e.bai, e.ang, e.cod); }
};
template <>
struct TWriterOf<TMark> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntMark;
};

// A dimension needs a line of some length and a text direction; a blank text is the line's
// measured length.
struct TDim : TKind<kKindDim, TDavEntDim, &TJGdata::EntDim, &TJGdata::EntDimN> {
    static constexpr const char* kName = "Dim";
    static constexpr std::u16string_view kKey = DavKeys::kDimensionStart;
    static bool Valid(double lx1, double ly1, double lx2, double ly2, double tdx, double tdy) {
        return !DavRules::Coincide(lx1, ly1, lx2, ly2) && !DavRules::NoDirection(tdx, tdy);
    }
    // Its line and text take the explicit attributes too; the text of a host text type keeps
    // that type's colour.
    static void TakeAttr(const TJGdata& jg, TDavEntDim& e, const TDavEntAttr& at) {
        TJGdata::CopyEntAttr(e.att, at);
        TJGdata::CopyEntAttr(e.lin.att, at);
        TJGdata::CopyEntAttr(e.txt.att, at);
        if (DavRules::IsTextType(e.txt.cn)) {
            e.txt.att.Col = jg.Mojisyu[static_cast<size_t>(e.txt.cn)].C;
        }
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.lin.att, o);
        Write::Text(jg, e.txt, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Dim(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x1, e.txt.y1, e.txt.x2, e.txt.y2,
                 e.txt.st);
    }
};
template <>
struct TWriterOf<TDim> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntDim;
};

// Blocks are the host's own: read and kept, never written back, so they have no writer.
struct TBlock : TKind<kKindBlock, TDavEntBlk, &TJGdata::EntBlk, &TJGdata::EntBlkN> {
    static constexpr const char* kName = "Blk";
    static constexpr std::u16string_view kKey = DavKeys::kBlock;
};

// Solids take the solid colour (colour code 10 with an RGB value) in place of the pen.
template <int Code, class TRec, std::vector<TRec> TJGdata::*List, int TJGdata::*Count>
struct TSolid : TKind<Code, TRec, List, Count> {
    static void Style(TJGdata& jg, const TRec& e, const TDavOverrides& o) {
        Write::SolidColour(jg, e, o);
    }
};

// The two-point solid carries a width as well.
struct TSolid2 : TSolid<kKindSolid2, TDavEntSld2, &TJGdata::EntSld2, &TJGdata::EntSld2N> {
    static constexpr const char* kName = "Sld2";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    static bool Valid(double x1, double y1, double x2, double y2) {
        return !DavRules::Coincide(x1, y1, x2, y2);
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::SolidColourAndWidth(jg, e, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Solid2(e.x1, e.y1, e.x2, e.y2); }
};
template <>
struct TWriterOf<TSolid2> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSld2;
};

// Collinear corners are accepted; only coinciding ones are not.
struct TSolid3 : TSolid<kKindSolid3, TDavEntSld3, &TJGdata::EntSld3, &TJGdata::EntSld3N> {
    static constexpr const char* kName = "Sld3";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    static bool Valid(double x1, double y1, double x2, double y2, double x3, double y3) {
        return !DavRules::Coincide(x1, y1, x2, y2) && !DavRules::Coincide(x2, y2, x3, y3) &&
               !DavRules::Coincide(x3, y3, x1, y1);
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
    }
};
template <>
struct TWriterOf<TSolid3> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSld3;
};

// A quadrilateral with two coinciding neighbours is the triangle of the other three corners;
// with coinciding diagonal corners it is nothing.
struct TSolid4 : TSolid<kKindSolid4, TDavEntSld4, &TJGdata::EntSld4, &TJGdata::EntSld4N> {
    static constexpr const char* kName = "Sld4";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    // The first pair of corners (1-based) that coincides decides what is left: the corners
    // named, three of them or none (0).
    struct TCoinciding {
        int a, b;
        std::array<int, 3> left;
    };
    static constexpr std::array<TCoinciding, 6> kReductions = {{
        {1, 2, {1, 3, 4}},
        {1, 3, {0, 0, 0}},
        {1, 4, {1, 2, 3}},
        {2, 3, {1, 2, 4}},
        {2, 4, {0, 0, 0}},
        {3, 4, {1, 2, 3}},
    }};

    // What is left of the quadrilateral: triangle(x, y, x, y, x, y) with the three corners
    // left, quad() when it stays whole, nothing when nothing is left.
    template <class F3, class F4>
    static void Reduce(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                       double y4, F3&& triangle, F4&& quad) {
        const std::array<double, 5> x = {0, x1, x2, x3, x4};
        const std::array<double, 5> y = {0, y1, y2, y3, y4};
        for (const TCoinciding& r : kReductions) {
            if (DavRules::Coincide(x[r.a], y[r.a], x[r.b], y[r.b])) {
                const std::array<int, 3>& c = r.left;
                if (c[0] != 0) {
                    triangle(x[c[0]], y[c[0]], x[c[1]], y[c[1]], x[c[2]], y[c[2]]);
                }
                return;
            }
        }
        quad();
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4);
    }
};
template <>
struct TWriterOf<TSolid4> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSld4;
};

// Circular solids, "sc" and "se": the same record and shape rule, each its own codes, keyword
// and writer.
template <int Code, std::vector<TDavEntSldC> TJGdata::*List, int TJGdata::*Count,
          void (TJGdata::*Writer)(double, double, double, double, double, double, double, int),
          int... KnownCodes>
struct TDisc : TSolid<Code, TDavEntSldC, List, Count> {
    static bool Valid(double r, double h, int cod) {
        return DavRules::HasShape(r, h) && ((cod == KnownCodes) || ...);
    }
    static void Shape(TJGdata& jg, const TDavEntSldC& e) {
        (jg.*Writer)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
    }
};

// "sc" knows the codes 100, 5, 0 and -1.
struct TSolidC : TDisc<kKindSolidC, &TJGdata::EntSldC, &TJGdata::EntSldCN, &TJGdata::S_SolidC,
                       DavRules::kSolidCodeFull, DavRules::kSolidCodeHalf, DavRules::kSolidCodeNone,
                       DavRules::kSolidCodeOpen> {
    static constexpr const char* kName = "SldC";
    static constexpr std::u16string_view kKey = DavKeys::kSolidC;
};
template <>
struct TWriterOf<TSolidC> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSldC;
};

// "se" knows the codes 100 and 0, and carries a width.
struct TSolidE : TDisc<kKindSolidE, &TJGdata::EntSldE, &TJGdata::EntSldEN, &TJGdata::S_SolidD,
                       DavRules::kSolidCodeFull, DavRules::kSolidCodeNone> {
    static constexpr const char* kName = "SldE";
    static constexpr std::u16string_view kKey = DavKeys::kSolidE;
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::SolidColourAndWidth(jg, e, o);
    }
};
template <>
struct TWriterOf<TSolidE> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSldE;
};

// Ring solids, "so" and "sg": the same record and rule, each its own keyword and writer.
template <int Code, std::vector<TDavEntSldD> TJGdata::*List, int TJGdata::*Count,
          void (TJGdata::*Writer)(double, double, double, double, double, double, double, double)>
struct TRing : TSolid<Code, TDavEntSldD, List, Count> {
    static bool Valid(double r, double h, double ri) { return DavRules::HasRing(r, h, ri); }
    static void Shape(TJGdata& jg, const TDavEntSldD& e) {
        (jg.*Writer)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
    }
};

struct TSolidO : TRing<kKindSolidO, &TJGdata::EntSldO, &TJGdata::EntSldON, &TJGdata::S_SolidO> {
    static constexpr const char* kName = "SldO";
    static constexpr std::u16string_view kKey = DavKeys::kSolidO;
};
template <>
struct TWriterOf<TSolidO> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSldO;
};

struct TSolidG : TRing<kKindSolidG, &TJGdata::EntSldG, &TJGdata::EntSldGN, &TJGdata::S_SolidG> {
    static constexpr const char* kName = "SldG";
    static constexpr std::u16string_view kKey = DavKeys::kSolidG;
};
template <>
struct TWriterOf<TSolidG> {
    static constexpr TEntWriter kWriter = &TJGdata::S_EntSldG;
};

// The table: every kind, in the order of its code.
template <class... K>
struct TKindList {
    static constexpr std::size_t kSize = sizeof...(K);

    // Calls f(K{}) for every kind, in the order of the codes.
    template <class F>
    static void ForEach(F&& f) {
        (f(K{}), ...);
    }

    // Calls f(K{}) for the kind of a code; false when no kind has that code.
    template <class F>
    static bool Visit(int code, F&& f) {
        return ((code == K::kCode ? (f(K{}), true) : false) || ...);
    }

    // An array indexed by kind code (entry 0 unused) of make(K{}) for every kind.
    template <class T, class Make>
    static constexpr std::array<T, kSize + 1> ByCode(Make make) {
        std::array<T, kSize + 1> a{};
        ((a[static_cast<std::size_t>(K::kCode)] = make(K{})), ...);
        return a;
    }

    static constexpr bool CodesInOrder() {
        int next = 1;
        return ((K::kCode == next++) && ...);
    }
};

using TKinds = TKindList<TLine, TCircle, TArc, TText, TPoint, TMark, TDim, TBlock, TSolid2, TSolid3,
                         TSolid4, TSolidC, TSolidE, TSolidO, TSolidG>;
static_assert(TKinds::CodesInOrder(), "the kinds are listed in the order of their codes 1..n");

// The number of kinds; codes run from 1 to kCount.
inline constexpr int kCount = static_cast<int>(TKinds::kSize);

template <class F>
void ForEachKind(F&& f) {
    TKinds::ForEach(static_cast<F&&>(f));
}

template <class F>
bool VisitKind(int code, F&& f) {
    return TKinds::Visit(code, static_cast<F&&>(f));
}

// --- The write-back of one record (DavGaibuWriteBack.cpp): layer group and layer, the kind's
// Style, the attribute marks and the kind's Shape. A polyline block opens between the head and
// the tail.

template <class K>
void WriteHead(TJGdata& jg, const typename K::Rec& e, const TDavOverrides& o) {
    Write::Layers(jg, e.att, o);
    K::Style(jg, e, o);
}

template <class K>
void WriteTail(TJGdata& jg, const typename K::Rec& e) {
    jg.S_Attr(e.att.Attr);
    K::Shape(jg, e);
}

// One drawing-order entry as the write-back sends it outside a polyline block: nothing for a
// block, an unknown kind or an entry that names no record.
void WriteEntry(TJGdata& jg, TDavEntNo en, const TDavOverrides& o);

}  // namespace DavKinds
