// DavKinds: one description per entity kind of TJGdata: its code, its record, its list and
// count members, its keyword, its record's fields, its validity rule, its writer and its
// drawing. The model's initialisation and release, the write-back's dispatch, the appenders
// with explicit attributes, the drawing scene, ziv's JSON dump and reading, and the tests'
// model check and dump walk this table instead of naming the fifteen kinds themselves. The
// reader's grammar (kRows, DavGaibuParse.cpp) names the kind each row makes, and its handlers
// (DavGaibuEntityLines.cpp) append to that kind's list and count. A kind that lacks a part
// fails to compile (CheckKind at the end), and so does a kind that no row of the grammar makes.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
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

// --- The fields of a record, in declaration order: the name the dumps and the JSON model give
// it, the member, what it holds (and in which unit), and whether a record written from JSON
// must give it. Lengths are millimetres of the drawing (paper millimetres for text sizes),
// angles degrees counter-clockwise.
template <class R, class T>
struct TField {
    using Rec = R;
    using Type = T;
    const char* name;
    T R::*member;
    const char* meaning;
    bool required;
};

// A field with a meaningful default: attributes, a polyline group, a text's sizes and font.
template <class R, class T>
constexpr TField<R, T> Field(const char* name, T R::*member, const char* meaning) {
    return {name, member, meaning, false};
}

// A field a record written from JSON must give: its geometry, without which the host has
// nothing to draw.
template <class R, class T>
constexpr TField<R, T> Given(const char* name, T R::*member, const char* meaning) {
    return {name, member, meaning, true};
}

// The attributes every record carries as its field "att".
inline constexpr auto kAttrFields = std::make_tuple(
    Field("IPNo", &TDavEntAttr::IPNo, "the picked point it belongs to, 1..99; 0 none"),
    Field("LGrp", &TDavEntAttr::LGrp, "layer group 0..15"),
    Field("Lay", &TDavEntAttr::Lay, "layer 0..15 of the group"),
    Field("Col", &TDavEntAttr::Col, "colour code (a text: the colour of its text type)"),
    Field("Ltp", &TDavEntAttr::Ltp, "line-type code"),
    Field("Wid", &TDavEntAttr::Wid, "line-width code, 0 the thinnest"),
    Field("Attr", &TDavEntAttr::Attr, "attribute bits 1, 2, 4, 8, 16"));

// --- How a kind is drawn: Draw(d, record) calls the primitives of a drawer d (the scene's
// builder), whose colours come from the drawer too:
//   d.Pen(col), d.Solid(col, rgb)   the display colour of a colour code, and of a solid's
//   d.Line(colour, x1, y1, x2, y2)
//   d.Circle(colour, cx, cy, r)
//   d.Arc(colour, cx, cy, r, flat, tilt, sa, ea)   from angle sa counter-clockwise to ea
//   d.Sector / d.Segment(colour, cx, cy, r, flat, tilt, sa, da, code)   filled, sa over da
//   d.Ring(colour, cx, cy, r, flat, tilt, sa, da, inner)
//   d.Polygon(colour, {x1, y1, x2, y2, ...})   2 to 4 corners; 2 is a band
//   d.Point(colour, x, y), d.Marker(colour, x, y, scale, angle, code), d.Text(record)
// TDrawerShape declares that drawer without a body: the check at the end calls each kind's
// Draw with it.
struct TDrawerShape {
    int Pen(int col);
    int Solid(int col, int rgb);
    void Line(int colour, double x1, double y1, double x2, double y2);
    void Circle(int colour, double cx, double cy, double r);
    void Arc(int colour, double cx, double cy, double r, double flat, double tilt, double sa,
             double ea);
    void Sector(int colour, double cx, double cy, double r, double flat, double tilt, double sa,
                double da, int code);
    void Segment(int colour, double cx, double cy, double r, double flat, double tilt, double sa,
                 double da, int code);
    void Ring(int colour, double cx, double cy, double r, double flat, double tilt, double sa,
              double da, double inner);
    void Polygon(int colour, std::initializer_list<double> xy);
    void Point(int colour, double x, double y);
    void Marker(int colour, double x, double y, double scale, double angle, int code);
    void Text(const TDavEntText& t);
};

// What every description has: the code, the record type, and the list and count members.
// Each kind adds its name, its keyword, its rule, its fields (kFields), its drawing (Draw), its
// writer: Style, the attribute commands between the entity's layers and its marks, and Shape,
// the entity's own command; and Note, what the write-back does with a record it drops or
// changes (nullptr when it writes the record as it is), which ziv's audit and write report.
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
    // Only this unspecialised form has it: the kind check asks for it by type, because
    // comparing member-function pointers is not a constant expression under the sanitizers.
    using Missing = void;
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
    static const char* Note(const Rec& e) {
        return Valid(e.x1, e.y1, e.x2, e.y2) ? nullptr
                                             : "a line of no length: the write-back drops it";
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Line(e.x1, e.y1, e.x2, e.y2); }
    static constexpr auto kFields =
        std::make_tuple(Field("att", &Rec::att, "attributes"),
                        Field("CrvNo", &Rec::CrvNo, "the polyline group it belongs to, 0 none"),
                        Given("x1", &Rec::x1, "start x"), Given("y1", &Rec::y1, "start y"),
                        Given("x2", &Rec::x2, "end x"), Given("y2", &Rec::y2, "end y"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Line(d.Pen(e.att.Col), e.x1, e.y1, e.x2, e.y2);
    }
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
    static const char* Note(const Rec& e) {
        return Valid(e.cr) ? nullptr
                           : "a circle without a positive radius: the write-back drops it";
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Circle(e.cx, e.cy, e.cr); }
    static constexpr auto kFields =
        std::make_tuple(Field("att", &Rec::att, "attributes"), Given("cx", &Rec::cx, "centre x"),
                        Given("cy", &Rec::cy, "centre y"), Given("cr", &Rec::cr, "radius"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Circle(d.Pen(e.att.Col), e.cx, e.cy, e.cr);
    }
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
    static const char* Note(const Rec& e) {
        return Valid(e.cr, e.he)
                   ? nullptr
                   : "an arc without a positive radius or flatness: the write-back drops it";
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Pen(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka);
    }
    static constexpr auto kFields =
        std::make_tuple(Field("att", &Rec::att, "attributes"), Given("cx", &Rec::cx, "centre x"),
                        Given("cy", &Rec::cy, "centre y"), Given("cr", &Rec::cr, "radius"),
                        Given("sa", &Rec::sa, "start angle"), Given("ea", &Rec::ea, "end angle"),
                        Given("he", &Rec::he, "flatness of an elliptic arc, 1 for a circular arc"),
                        Field("ka", &Rec::ka, "tilt of the ellipse"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Arc(d.Pen(e.att.Col), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.ea);
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
    static const char* Note(const Rec& e) {
        return Valid(e.x2, e.y2, e.st)
                   ? nullptr
                   : "a text without direction or of blanks only: the write-back drops it";
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) { Write::Text(jg, e, o); }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st); }
    static constexpr auto kFields = std::make_tuple(
        Field("att", &Rec::att, "attributes; Col the colour of its text type"),
        Field("no", &Rec::no, "text kind 0..9: ch cv cs cr co cp ct ck cz c2"),
        Field("cc", &Rec::cc, "base point 0..8: 3 * row + column, from the bottom left"),
        Field("cn", &Rec::cn, "text type 1..10, else the free sizes"),
        Field("mw", &Rec::mw, "character width, paper mm"),
        Field("mh", &Rec::mh, "character height, paper mm"),
        Field("md", &Rec::md, "spacing between characters, paper mm"),
        Given("x1", &Rec::x1, "base point x"), Given("y1", &Rec::y1, "base point y"),
        Given("x2", &Rec::x2, "reading direction x, a vector of any length"),
        Given("y2", &Rec::y2, "reading direction y"),
        Field("fo", &Rec::fo, "font, as the host writes it; empty for the current one"),
        Given("st", &Rec::st, "the text"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Text(e);
    }

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
    static const char* Note(const Rec&) { return nullptr; }
    static constexpr auto kFields =
        std::make_tuple(Field("att", &Rec::att, "attributes"), Given("px", &Rec::px, "x"),
                        Given("py", &Rec::py, "y"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Point(d.Pen(e.att.Col), e.px, e.py);
    }
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
    static const char* Note(const Rec& e) {
        if (DavRules::MarkCode(e.cod) != e.cod) {
            return "a marker code outside -7..11: written as the default marker -3";
        }
        if (DavRules::OneIfNone(e.bai) != e.bai) {
            return "a marker without scale: written with scale 1";
        }
        return nullptr;
    }
    static void Style(TJGdata& jg, const Rec& e, const TDavOverrides& o) {
        Write::Point(jg, e.att, o);
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Mark(e.px, e.py, e.bai, e.ang, e.cod); }
    static constexpr auto kFields = std::make_tuple(
        Field("att", &Rec::att, "attributes"), Given("px", &Rec::px, "x"),
        Given("py", &Rec::py, "y"), Field("bai", &Rec::bai, "scale, 0 meaning 1"),
        Field("ang", &Rec::ang, "angle"), Field("cod", &Rec::cod, "marker code -7..11"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Marker(d.Pen(e.att.Col), e.px, e.py, DavRules::OneIfNone(e.bai), e.ang, e.cod);
    }
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
    static const char* Note(const Rec& e) {
        return Valid(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x2, e.txt.y2)
                   ? nullptr
                   : "a dimension line of no length or a text without direction: the write-back "
                     "drops it";
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
    static constexpr auto kFields =
        std::make_tuple(Field("att", &Rec::att, "attributes"),
                        Given("lin", &Rec::lin, "the dimension line, a line record"),
                        Given("txt", &Rec::txt, "the measured value as shown, a text record"));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        TLine::Draw(d, e.lin);
        TText::Draw(d, e.txt);
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
    static constexpr bool kNeverWritten = true;
    // Never written, and never noted: the host inserts blocks itself.
    static const char* Note(const Rec&) { return nullptr; }
    static constexpr auto kFields = std::make_tuple(
        Field("att", &Rec::att, "attributes"), Given("px", &Rec::px, "insertion point x"),
        Given("py", &Rec::py, "insertion point y"), Given("nam", &Rec::nam, "the block's name"));
    // It shows where it sits; its contents are the host's.
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Point(d.Pen(e.att.Col), e.px, e.py);
    }
};

// The fields every solid's record starts with: its attributes and its RGB value.
template <class R>
constexpr auto SolidFields() {
    return std::make_tuple(
        Field("att", &R::att, "attributes; Col 10 the solid's own colour"),
        Field("Color", &R::Color, "RGB value, red + 256 * green + 65536 * blue, when Col is 10"));
}

// The fields the circular and the ring solid share: centre, radius, flatness, tilt and angles.
template <class R>
constexpr auto RoundFields() {
    return std::tuple_cat(
        SolidFields<R>(),
        std::make_tuple(Given("cx", &R::cx, "centre x"), Given("cy", &R::cy, "centre y"),
                        Given("cr", &R::cr, "radius"), Given("he", &R::he, "flatness"),
                        Field("ka", &R::ka, "tilt"), Given("sa", &R::sa, "start angle"),
                        Given("da", &R::da, "swept angle, signed")));
}

// Solids take the solid colour (colour code 10 with an RGB value) in place of the pen.
template <int Code, class TRec, std::vector<TRec> TJGdata::*List, int TJGdata::*Count>
struct TSolid : TKind<Code, TRec, List, Count> {
    static constexpr const char* kCoincidingNote =
        "a solid whose corners coincide: the write-back drops it";
    static void Style(TJGdata& jg, const TRec& e, const TDavOverrides& o) {
        Write::SolidColour(jg, e, o);
    }
    template <class D>
    static int Paint(D& d, const TRec& e) {
        return d.Solid(e.att.Col, e.Color);
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
    static const char* Note(const Rec& e) {
        return Valid(e.x1, e.y1, e.x2, e.y2) ? nullptr : kCoincidingNote;
    }
    static void Shape(TJGdata& jg, const Rec& e) { jg.S_Solid2(e.x1, e.y1, e.x2, e.y2); }
    static constexpr auto kFields = std::tuple_cat(
        SolidFields<Rec>(), std::make_tuple(Given("x1", &Rec::x1, "first point x"),
                                            Given("y1", &Rec::y1, "first point y"),
                                            Given("x2", &Rec::x2, "second point x"),
                                            Given("y2", &Rec::y2, "second point y")));
    // A band between its points.
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Polygon(Paint(d, e), {e.x1, e.y1, e.x2, e.y2});
    }
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
    static const char* Note(const Rec& e) {
        return Valid(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3) ? nullptr : kCoincidingNote;
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
    }
    static constexpr auto kFields = std::tuple_cat(
        SolidFields<Rec>(),
        std::make_tuple(Given("x1", &Rec::x1, "corner 1 x"), Given("y1", &Rec::y1, "corner 1 y"),
                        Given("x2", &Rec::x2, "corner 2 x"), Given("y2", &Rec::y2, "corner 2 y"),
                        Given("x3", &Rec::x3, "corner 3 x"), Given("y3", &Rec::y3, "corner 3 y")));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Polygon(Paint(d, e), {e.x1, e.y1, e.x2, e.y2, e.x3, e.y3});
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
    static const char* Note(const Rec& e) {
        const char* note = "a four-point solid with coinciding corners: the write-back drops it";
        Reduce(
            e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4,
            [&](double, double, double, double, double, double) {
                note = "a four-point solid with coinciding corners: written as a triangle";
            },
            [&] { note = nullptr; });
        return note;
    }
    static void Shape(TJGdata& jg, const Rec& e) {
        jg.S_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4);
    }
    static constexpr auto kFields = std::tuple_cat(
        SolidFields<Rec>(),
        std::make_tuple(Given("x1", &Rec::x1, "corner 1 x"), Given("y1", &Rec::y1, "corner 1 y"),
                        Given("x2", &Rec::x2, "corner 2 x"), Given("y2", &Rec::y2, "corner 2 y"),
                        Given("x3", &Rec::x3, "corner 3 x"), Given("y3", &Rec::y3, "corner 3 y"),
                        Given("x4", &Rec::x4, "corner 4 x"), Given("y4", &Rec::y4, "corner 4 y")));
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Polygon(Paint(d, e), {e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4});
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
    static const char* Note(const TDavEntSldC& e) {
        return Valid(e.cr, e.he, e.fl)
                   ? nullptr
                   : "a circular solid without radius or flatness, or with a code the host does "
                     "not know: the write-back drops it";
    }
    static void Shape(TJGdata& jg, const TDavEntSldC& e) {
        (jg.*Writer)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
    }
    using TRecord = TDavEntSldC;
    static constexpr auto kFields =
        std::tuple_cat(RoundFields<TRecord>(),
                       std::make_tuple(Given("fl", &TRecord::fl,
                                             "fill code: which part of the circle is filled")));
};

// "sc" knows the codes 100, 5, 0 and -1.
struct TSolidC : TDisc<kKindSolidC, &TJGdata::EntSldC, &TJGdata::EntSldCN, &TJGdata::S_SolidC,
                       DavRules::kSolidCodeFull, DavRules::kSolidCodeHalf, DavRules::kSolidCodeNone,
                       DavRules::kSolidCodeOpen> {
    static constexpr const char* kName = "SldC";
    static constexpr std::u16string_view kKey = DavKeys::kSolidC;
    // Filled with the two radii to its centre.
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Sector(Paint(d, e), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
    }
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
    // Filled, closed by its chord.
    template <class D>
    static void Draw(D& d, const Rec& e) {
        d.Segment(Paint(d, e), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
    }
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
    static const char* Note(const TDavEntSldD& e) {
        return Valid(e.cr, e.he, e.ri)
                   ? nullptr
                   : "a ring solid without radius or flatness, or whose inner radius is not "
                     "inside it: the write-back drops it";
    }
    static void Shape(TJGdata& jg, const TDavEntSldD& e) {
        (jg.*Writer)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
    }
    using TRecord = TDavEntSldD;
    static constexpr auto kFields = std::tuple_cat(
        RoundFields<TRecord>(), std::make_tuple(Given("ri", &TRecord::ri, "inner radius")));
    template <class D>
    static void Draw(D& d, const TDavEntSldD& e) {
        d.Ring(TRing::Paint(d, e), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
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

// The first of the kinds K whose record is R, as member type; none when no kind has R.
template <class R, class... K>
struct TKindOfRecord {};
template <class R, class K, class... Ks>
struct TKindOfRecord<R, K, Ks...>
    : std::conditional_t<std::is_same_v<typename K::Rec, R>, std::type_identity<K>,
                         TKindOfRecord<R, Ks...>> {};

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

    // The kind that describes record R (the first, where kinds share a record).
    template <class R>
    using KindOf = typename TKindOfRecord<R, K...>::type;

    // Instantiates Check<K>() for every kind.
    template <template <class> class Check>
    static constexpr bool All() {
        return (Check<K>::kOk && ...);
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

// --- The fields of every record: the attributes, and each kind's record.

// Whether R is a record the table describes field by field.
template <class R>
concept Described = std::same_as<R, TDavEntAttr> || requires {
    typename TKinds::KindOf<R>;
};

template <class R>
requires Described<R>
constexpr const auto& FieldsOf() {
    if constexpr (std::is_same_v<R, TDavEntAttr>) {
        return kAttrFields;
    } else {
        return TKinds::KindOf<R>::kFields;
    }
}

// Calls f(field, value) for every field of the record e in declaration order, value being
// e's member (const when e is). A nested record (att, a dimension's lin and txt) is passed
// whole. The fields are constants, so each call compiles to a plain member access.
template <class T, class F>
requires Described<std::remove_const_t<T>>
void ForEachField(T& e, F&& f) {
    std::apply([&](const auto&... field) { (f(field, e.*(field.member)), ...); },
               FieldsOf<std::remove_const_t<T>>());
}

// The names of the fields a record written from JSON must give, in declaration order.
template <class R>
constexpr auto RequiredNames() {
    constexpr const auto& fields = FieldsOf<R>();
    constexpr std::size_t n = std::apply(
        [](const auto&... field) { return (std::size_t{0} + ... + (field.required ? 1 : 0)); },
        fields);
    std::array<const char*, n> names{};
    std::size_t i = 0;
    std::apply(
        [&](const auto&... field) {
            ((field.required ? void(names[i++] = field.name) : void()), ...);
        },
        fields);
    return names;
}
template <class R>
inline constexpr auto kRequiredNames = RequiredNames<R>();

// --- The check that every kind is complete: a kind that lacks a part fails to compile here,
// in CheckKind<the kind>, with a message that names the part.

// Stands for any member of an aggregate, to count its members: R{TAnyMember{}...} compiles
// for as many as R has and no more.
struct TAnyMember {
    template <class T>
    operator T() const;
};

template <class R, class... A>
constexpr std::size_t MemberCount() {
    if constexpr (requires { R{A{}..., TAnyMember{}}; }) {
        return MemberCount<R, A..., TAnyMember>();
    } else {
        return sizeof...(A);
    }
}

// Every member of R is a field, once, of R itself.
template <class R>
constexpr bool FieldsComplete(const auto& fields) {
    return std::apply(
        [](const auto&... field) {
            constexpr std::size_t n = sizeof...(field);
            const std::array<std::string_view, n> names = {field.name...};
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t j = i + 1; j < n; ++j) {
                    if (names[i] == names[j]) {
                        return false;
                    }
                }
            }
            return n == MemberCount<R>() &&
                   (std::is_same_v<typename std::remove_cvref_t<decltype(field)>::Rec, R> && ...);
        },
        fields);
}

template <class K>
concept Named = requires {
    { K::kName } -> std::convertible_to<const char*>;
};
template <class K>
concept Keyed = requires {
    K::kKey;
}
|| requires(int no) {
    K::KeyOf(no);
};
template <class K>
concept HasFields = requires {
    K::kFields;
};
template <class K>
concept Draws = requires(TDrawerShape& d, const typename K::Rec& e) {
    K::Draw(d, e);
};
template <class K>
concept Noted = requires(const typename K::Rec& e) {
    { K::Note(e) } -> std::same_as<const char*>;
};
template <class K>
concept Written = requires(TJGdata& jg, const typename K::Rec& e, const TDavOverrides& o) {
    K::Style(jg, e, o);
    K::Shape(jg, e);
}
&&!requires { typename TWriterOf<K>::Missing; };
template <class K>
concept NeverWritten = requires {
    requires K::kNeverWritten;
};

// A kind's fields; none (which fails the check that names them) when it has no kFields.
template <class K>
constexpr auto FieldsOrNone() {
    if constexpr (HasFields<K>) {
        return K::kFields;
    } else {
        return std::tuple<>{};
    }
}

template <class K>
struct CheckKind {
    static_assert(Named<K>, "an entity kind needs kName, its list's name after \"Ent\"");
    static_assert(Keyed<K>, "an entity kind needs kKey (or KeyOf), its keyword in the file");
    static_assert(HasFields<K>,
                  "an entity kind needs kFields, a Field for each member of its record");
    static_assert(FieldsComplete<typename K::Rec>(FieldsOrNone<K>()),
                  "an entity kind's kFields names every member of its record once");
    static_assert(Draws<K>, "an entity kind needs Draw, its drawing in the scene");
    static_assert(Noted<K>, "an entity kind needs Note, what the write-back drops or changes");
    static_assert(Written<K> || NeverWritten<K>,
                  "an entity kind needs Style, Shape and its TWriterOf, or kNeverWritten");
    static constexpr bool kOk = true;
};
static_assert(FieldsComplete<TDavEntAttr>(kAttrFields), "kAttrFields names every attribute once");
static_assert(TKinds::All<CheckKind>());

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
