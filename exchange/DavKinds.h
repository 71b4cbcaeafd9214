// DavKinds: one description per entity kind of TJGdata: its code, its record, its list and
// count members, its keyword, its validity rule and its writer. The model's initialisation and
// release, the write-back, the appenders with explicit attributes, the reader, and the tests'
// model check and dump all walk this table instead of naming the fifteen kinds themselves.
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

// What every description has: the code, the record type, and the list and count members.
// Style (the attribute commands before the marks) and Shape (the entity's own command) are the
// writer; they are defined with the write-back (DavGaibuWriteBack.cpp).
template <int Code, class TRec, std::vector<TRec> TJGdata::*List, int TJGdata::*Count>
struct TKind {
    static constexpr int kCode = Code;
    static constexpr bool kWritten = true;
    using Rec = TRec;

    static std::vector<TRec>& ListOf(TJGdata& jg) { return jg.*List; }
    static const std::vector<TRec>& ListOf(const TJGdata& jg) { return jg.*List; }
    static int& CountOf(TJGdata& jg) { return jg.*Count; }
    static int CountOf(const TJGdata& jg) { return jg.*Count; }

    // A new record at the end of the list, with its drawing-order entry and the current
    // attributes.
    static TRec& Append(TJGdata& jg) { return jg.NewEntity(Code, jg.*List, jg.*Count); }

    // The record of a drawing-order entry, or nullptr when no names none of the valid ones.
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

    static void Style(TJGdata& jg, const TRec& e, const TDavOverrides& o);
    static void Shape(TJGdata& jg, const TRec& e);
};

// A plain line segment: four numbers and no keyword.
struct TLine : TKind<kKindLine, TDavEntLine, &TJGdata::EntLine, &TJGdata::EntLineN> {
    static constexpr const char* kName = "Line";
    static constexpr std::u16string_view kKey = u"";
    static bool Valid(double x1, double y1, double x2, double y2) {
        return !DavRules::Coincide(x1, y1, x2, y2);
    }
};

struct TCircle : TKind<kKindCircle, TDavEntCircle, &TJGdata::EntCirc, &TJGdata::EntCircN> {
    static constexpr const char* kName = "Circ";
    static constexpr std::u16string_view kKey = DavKeys::kCircle;
    static bool Valid(double r) { return r > DavRules::kMinLen; }
};

// An arc or elliptic arc; the store takes a flatness of no size as 1 before the rule.
struct TArc : TKind<kKindArc, TDavEntArc, &TJGdata::EntArc, &TJGdata::EntArcN> {
    static constexpr const char* kName = "Arc";
    static constexpr std::u16string_view kKey = DavKeys::kCircle;
    static bool Valid(double r, double h) { return DavRules::HasShape(r, h); }
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
};

struct TPoint : TKind<kKindPoint, TDavEntPnt, &TJGdata::EntPnt, &TJGdata::EntPntN> {
    static constexpr const char* kName = "Pnt";
    static constexpr std::u16string_view kKey = DavKeys::kPoint;
};

// A marker is always taken: an unknown code is the default marker, a scale of no size 1.
struct TMark : TKind<kKindMark, TDavEntMark, &TJGdata::EntMark, &TJGdata::EntMarkN> {
    static constexpr const char* kName = "Mark";
    static constexpr std::u16string_view kKey = DavKeys::kPoint;
    static void Normalise(double& bai, int& cod) {
        cod = DavRules::MarkCode(cod);
        bai = DavRules::OneIfNone(bai);
    }
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
};

// Blocks are the host's own: read and kept, never written back.
struct TBlock : TKind<kKindBlock, TDavEntBlk, &TJGdata::EntBlk, &TJGdata::EntBlkN> {
    static constexpr const char* kName = "Blk";
    static constexpr std::u16string_view kKey = DavKeys::kBlock;
    static constexpr bool kWritten = false;
};

struct TSolid2 : TKind<kKindSolid2, TDavEntSld2, &TJGdata::EntSld2, &TJGdata::EntSld2N> {
    static constexpr const char* kName = "Sld2";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    static bool Valid(double x1, double y1, double x2, double y2) {
        return !DavRules::Coincide(x1, y1, x2, y2);
    }
};

// Collinear corners are accepted; only coinciding ones are not.
struct TSolid3 : TKind<kKindSolid3, TDavEntSld3, &TJGdata::EntSld3, &TJGdata::EntSld3N> {
    static constexpr const char* kName = "Sld3";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    static bool Valid(double x1, double y1, double x2, double y2, double x3, double y3) {
        return !DavRules::Coincide(x1, y1, x2, y2) && !DavRules::Coincide(x2, y2, x3, y3) &&
               !DavRules::Coincide(x3, y3, x1, y1);
    }
};

// A quadrilateral with two coinciding neighbours is the triangle of the other three corners;
// with coinciding diagonal corners it is nothing.
struct TSolid4 : TKind<kKindSolid4, TDavEntSld4, &TJGdata::EntSld4, &TJGdata::EntSld4N> {
    static constexpr const char* kName = "Sld4";
    static constexpr std::u16string_view kKey = DavKeys::kSolid;
    // The corners (1-based) of what is left: four, three (corner[3] is 0) or none (all 0).
    static std::array<int, 4> Corners(double x1, double y1, double x2, double y2, double x3,
                                      double y3, double x4, double y4) {
        using DavRules::Coincide;
        if (Coincide(x1, y1, x2, y2)) {
            return {1, 3, 4, 0};
        }
        if (Coincide(x1, y1, x3, y3)) {
            return {0, 0, 0, 0};
        }
        if (Coincide(x1, y1, x4, y4)) {
            return {1, 2, 3, 0};
        }
        if (Coincide(x2, y2, x3, y3)) {
            return {1, 2, 4, 0};
        }
        if (Coincide(x2, y2, x4, y4)) {
            return {0, 0, 0, 0};
        }
        if (Coincide(x3, y3, x4, y4)) {
            return {1, 2, 3, 0};
        }
        return {1, 2, 3, 4};
    }
};

// Circular solids: "sc" with the codes 100, 5, 0 and -1.
struct TSolidC : TKind<kKindSolidC, TDavEntSldC, &TJGdata::EntSldC, &TJGdata::EntSldCN> {
    static constexpr const char* kName = "SldC";
    static constexpr std::u16string_view kKey = DavKeys::kSolidC;
    static bool Valid(double r, double h, int cod) {
        using namespace DavRules;
        return HasShape(r, h) && (cod == kSolidCodeFull || cod == kSolidCodeHalf ||
                                  cod == kSolidCodeNone || cod == kSolidCodeOpen);
    }
};

// Circular solids of the other kind: "se" with the codes 100 and 0.
struct TSolidE : TKind<kKindSolidE, TDavEntSldC, &TJGdata::EntSldE, &TJGdata::EntSldEN> {
    static constexpr const char* kName = "SldE";
    static constexpr std::u16string_view kKey = DavKeys::kSolidE;
    static bool Valid(double r, double h, int cod) {
        using namespace DavRules;
        return HasShape(r, h) && (cod == kSolidCodeFull || cod == kSolidCodeNone);
    }
};

// Ring solids, "so" and "sg".
struct TSolidO : TKind<kKindSolidO, TDavEntSldD, &TJGdata::EntSldO, &TJGdata::EntSldON> {
    static constexpr const char* kName = "SldO";
    static constexpr std::u16string_view kKey = DavKeys::kSolidO;
    static bool Valid(double r, double h, double ri) { return DavRules::HasRing(r, h, ri); }
};

struct TSolidG : TKind<kKindSolidG, TDavEntSldD, &TJGdata::EntSldG, &TJGdata::EntSldGN> {
    static constexpr const char* kName = "SldG";
    static constexpr std::u16string_view kKey = DavKeys::kSolidG;
    static bool Valid(double r, double h, double ri) { return DavRules::HasRing(r, h, ri); }
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

}  // namespace DavKinds
