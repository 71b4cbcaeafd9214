// Tests of the entity store: attribute setters, appenders, explicit attributes, display colours.
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "util/MyFunc.h"

namespace {

std::string AttrText(const TDavEntAttr& a) {
    return "IPNo=" + std::to_string(a.IPNo) + " LGrp=" + std::to_string(a.LGrp) +
           " Lay=" + std::to_string(a.Lay) + " Col=" + std::to_string(a.Col) +
           " Ltp=" + std::to_string(a.Ltp) + " Wid=" + std::to_string(a.Wid) +
           " Attr=" + std::to_string(a.Attr);
}

int KindCount(const TJGdata& jg, int kind) {
    int n = 0;
    DavKinds::VisitKind(kind, [&](auto k) { n = decltype(k)::CountOf(jg); });
    return n;
}

// The attributes of the record that the last EntNo entry points at.
TDavEntAttr LastAttr(const TJGdata& jg) {
    const TDavEntNo en = jg.EntNo[static_cast<size_t>(jg.EntN) - 1];
    TDavEntAttr att{};
    DavKinds::VisitKind(
        en.yn, [&](auto k) { att = decltype(k)::ListOf(jg)[static_cast<size_t>(en.no)].att; });
    return att;
}

// The sum of all per-kind counts; must always equal EntN.
int AllCounts(const TJGdata& jg) {
    int n = 0;
    DavKinds::ForEachKind([&](auto k) { n += decltype(k)::CountOf(jg); });
    return n;
}

class EntityStore : public ::testing::Test {
protected:
    void SetUp() override {
        // Current attributes distinct from every default, so that a record shows where its
        // values came from.
        jg.w_IPNo = 7;
        jg.A_LGrp(3);
        jg.A_Lay(4);
        jg.A_Col(5, 0);
        jg.A_Ltp(6, 0);
        jg.A_Wid(8);
        jg.A_Attr(2);
        jg.A_PCol(9, 0);
        jg.A_SCol(0x123456);
    }
    TJGdata jg;
};

// --- Setters

struct TSetterCase {
    const char* what;
    std::function<void(TJGdata&)> call;
    std::function<int(const TJGdata&)> field;
    int expected;
};

TEST_F(EntityStore, SettersReplaceOutOfRangeValues) {
    jg.CurWid = 17;
    jg.CurCol = 4;
    jg.CurLtp = 2;
    auto wid = [](const TJGdata& j) { return j.w_Wid; };
    auto attr = [](const TJGdata& j) { return j.w_Attr; };
    auto mbs = [](const TJGdata& j) { return j.w_Mbs; };
    auto scol = [](const TJGdata& j) { return j.w_SlCol; };
    auto col = [](const TJGdata& j) { return j.w_Col; };
    auto ltp = [](const TJGdata& j) { return j.w_Ltp; };
    auto pcol = [](const TJGdata& j) { return j.w_PtCol; };
    const std::vector<TSetterCase> cases = {
        // Layer group and layer are taken as given.
        {"lgrp -1", [](TJGdata& j) { j.A_LGrp(-1); }, [](const TJGdata& j) { return j.w_LGrp; },
         -1},
        {"lay 99", [](TJGdata& j) { j.A_Lay(99); }, [](const TJGdata& j) { return j.w_Lay; }, 99},
        // Width: -1 is the host's width, the range is 0..30000.
        {"wid -1", [](TJGdata& j) { j.A_Wid(-1); }, wid, 17},
        {"wid -2", [](TJGdata& j) { j.A_Wid(-2); }, wid, 0},
        {"wid 30000", [](TJGdata& j) { j.A_Wid(30000); }, wid, 30000},
        {"wid 30001", [](TJGdata& j) { j.A_Wid(30001); }, wid, 0},
        // Marks: mark 4 gives way to mark 5, unknown bits are dropped.
        {"attr 24", [](TJGdata& j) { j.A_Attr(24); }, attr, 16},
        {"attr 8", [](TJGdata& j) { j.A_Attr(8); }, attr, 8},
        {"attr 255", [](TJGdata& j) { j.A_Attr(255); }, attr, 23},
        {"attr 32", [](TJGdata& j) { j.A_Attr(32); }, attr, 0},
        // Base point 0..8.
        {"mbs 8", [](TJGdata& j) { j.A_Mbs(8); }, mbs, 8},
        {"mbs 9", [](TJGdata& j) { j.A_Mbs(9); }, mbs, 0},
        {"mbs -1", [](TJGdata& j) { j.A_Mbs(-1); }, mbs, 0},
        // Solid colour: 24 bits, each component 0..255.
        {"scol max", [](TJGdata& j) { j.A_SCol(16777215); }, scol, 16777215},
        {"scol 2^24", [](TJGdata& j) { j.A_SCol(16777216); }, scol, 0},
        {"scol -1", [](TJGdata& j) { j.A_SCol(-1); }, scol, 0},
        {"rgb 300 128 -1", [](TJGdata& j) { j.A_SColRGB(300, 128, -1); }, scol, 32768},
        {"rgb 1 2 3", [](TJGdata& j) { j.A_SColRGB(1, 2, 3); }, scol, 1 + 512 + 196608},
        // Caller's numbering (mode 1) against host codes (any other mode).
        {"col 12 mode 1", [](TJGdata& j) { j.A_Col(12, 1); }, col, 103},
        {"col 0 mode 1", [](TJGdata& j) { j.A_Col(0, 1); }, col, 4},
        {"col 12 mode 0", [](TJGdata& j) { j.A_Col(12, 0); }, col, 12},
        {"ltp 15 mode 1", [](TJGdata& j) { j.A_Ltp(15, 1); }, ltp, 16},
        {"ltp 20 mode 1", [](TJGdata& j) { j.A_Ltp(20, 1); }, ltp, 32},
        {"ltp -3 mode 1", [](TJGdata& j) { j.A_Ltp(-3, 1); }, ltp, 2},
        {"ltp 20 mode 2", [](TJGdata& j) { j.A_Ltp(20, 2); }, ltp, 20},
        {"pcol 10 mode 1", [](TJGdata& j) { j.A_PCol(10, 1); }, pcol, 101},
        {"pcol -5 mode 0", [](TJGdata& j) { j.A_PCol(-5, 0); }, pcol, -5},
    };
    for (const TSetterCase& c : cases) {
        SCOPED_TRACE(c.what);
        c.call(jg);
        EXPECT_EQ(c.field(jg), c.expected);
    }
}

TEST_F(EntityStore, SettersLeaveTheWriterFlagsAlone) {
    jg.w_FlgCol = false;
    jg.w_FlgSCol = false;
    jg.A_Col(5, 0);
    jg.A_SCol(77);
    EXPECT_FALSE(jg.w_FlgCol);
    EXPECT_FALSE(jg.w_FlgSCol);
    // The writer now takes colour 5 as already sent.
    jg.S_Col(5, 0);
    EXPECT_EQ(jg.t_MemN, 0);
}

TEST_F(EntityStore, TextTypeSettings) {
    jg.CurMjs = 0;
    jg.CurMjsW = 4.0;
    jg.CurMjsH = 5.0;
    jg.CurMjsD = 0.5;
    jg.CurMjsC = 12;  // a host code: never mapped again
    jg.A_Mjs(11, 1.0, 1.0, 1.0, 1, 1);
    EXPECT_EQ(jg.w_Mjs, 0);
    EXPECT_EQ(jg.w_MjsW, 4.0);
    EXPECT_EQ(jg.w_MjsH, 5.0);
    EXPECT_EQ(jg.w_MjsD, 0.5);
    EXPECT_EQ(jg.w_MjsC, 12);

    jg.CurMjs = 3;
    jg.A_Mjs(-1, 2.0, 2.5, 0.25, 12, 1);
    EXPECT_EQ(jg.w_Mjs, 3);
    EXPECT_EQ(jg.w_MjsW, 2.0);
    EXPECT_EQ(jg.w_MjsH, 2.5);
    EXPECT_EQ(jg.w_MjsD, 0.25);
    EXPECT_EQ(jg.w_MjsC, 103);
    EXPECT_EQ(jg.aCol, jg.GetColorDisp(103));
}

TEST_F(EntityStore, FontFallsBackToTheHostFont) {
    jg.CurFont = u"<Host>";
    for (const std::u16string& f : {std::u16string(), std::u16string(u"<>")}) {
        jg.w_Font = u"x";
        jg.A_Font(f);
        EXPECT_EQ(jg.w_Font, u"<Host>");
    }
    jg.A_Font(u"<ＭＳ 明朝>");
    EXPECT_EQ(jg.w_Font, u"<ＭＳ 明朝>");
}

TEST_F(EntityStore, DisplayColours) {
    const struct {
        int col;
        int expected;
    } cases[] = {
        {1, MakeRGB(0, 192, 192)},
        {2, 0},
        {4, MakeRGB(192, 192, 0)},
        {9, MakeRGB(255, 128, 255)},
        {0, 0},
        {10, 0},
        {100, 0},
        {101, 0},
        {102, MakeRGB(255, 0, 0)},
        {104, MakeRGB(0, 0, 255)},
        {110, MakeRGB(192, 128, 64)},
        {116, MakeRGB(128, 128, 128)},
        {117, 0},
        {-1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.col);
        EXPECT_EQ(jg.GetColorDisp(c.col), c.expected);
    }
    EXPECT_EQ(jg.GetColorDisp(110), 192 + 128 * 256 + 64 * 65536);

    // The setters keep the screen colour of what they set.
    jg.A_Col(110, 0);
    EXPECT_EQ(jg.aCol, MakeRGB(192, 128, 64));
    jg.A_PCol(11, 1);  // mapped to 102
    EXPECT_EQ(jg.aCol, MakeRGB(255, 0, 0));
    jg.A_Mjs(0, 2, 2, 0, 3, 0);
    EXPECT_EQ(jg.aCol, MakeRGB(0, 192, 0));
    jg.A_SColRGB(1, 2, 3);
    EXPECT_EQ(jg.aSCol, MakeRGB(1, 2, 3));
    jg.A_SCol(-4);
    EXPECT_EQ(jg.aSCol, 0);
}

// --- Appenders: what is stored and what is refused

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct TAppendCase {
    const char* what;
    std::function<void(TJGdata&)> call;
    int kind;  // kind code of the new record; 0 when nothing may be stored
};

const std::vector<TAppendCase>& AppendCases() {
    static const std::vector<TAppendCase> cases = {
        // Lines
        {"line", [](TJGdata& j) { j.A_Line(0, 0, 10, 5); }, kKindLine},
        {"line of no length", [](TJGdata& j) { j.A_Line(1, 1, 1, 1); }, 0},
        {"line below tolerance", [](TJGdata& j) { j.A_Line(0, 0, 5e-11, -5e-11); }, 0},
        {"line just long enough", [](TJGdata& j) { j.A_Line(0, 0, 0, 2e-10); }, kKindLine},
        // Points and markers are never refused
        {"point", [](TJGdata& j) { j.A_Ten(1, 2); }, kKindPoint},
        {"marker", [](TJGdata& j) { j.A_Mark(1, 2, 0, 45, 20); }, kKindMark},
        // Circles and arcs
        {"circle", [](TJGdata& j) { j.A_Circle(0, 0, 5); }, kKindCircle},
        {"circle radius 1e-10", [](TJGdata& j) { j.A_Circle(0, 0, 1e-10); }, 0},
        {"circle radius -5", [](TJGdata& j) { j.A_Circle(0, 0, -5); }, 0},
        {"arc", [](TJGdata& j) { j.A_Arc(0, 0, 5, 0, 90, 1, 0); }, kKindArc},
        {"arc radius 0", [](TJGdata& j) { j.A_Arc(0, 0, 0, 0, 90, 1, 0); }, 0},
        {"arc flatness 0", [](TJGdata& j) { j.A_Arc(0, 0, 5, 0, 90, 0, 0); }, kKindArc},
        // Texts
        {"text", [](TJGdata& j) { j.A_Text(0, 0, 0, 10, 0, u"AB"); }, kKindText},
        {"text upwards", [](TJGdata& j) { j.A_Text(1, 0, 0, 0, 1, u"AB"); }, kKindText},
        {"text without direction", [](TJGdata& j) { j.A_Text(0, 0, 0, 0, 0, u"AB"); }, 0},
        {"text tiny direction", [](TJGdata& j) { j.A_Text(0, 0, 0, 1e-11, 0, u"AB"); }, 0},
        {"text of blanks", [](TJGdata& j) { j.A_Text(0, 0, 0, 10, 0, u"\u3000 \t"); }, 0},
        {"empty text", [](TJGdata& j) { j.A_Text(0, 0, 0, 10, 0, u""); }, 0},
        // Dimensions
        {"dimension", [](TJGdata& j) { j.A_Dim(0, 0, 3, 4, 1, 1, 10, 0, u""); }, kKindDim},
        {"dimension of no length", [](TJGdata& j) { j.A_Dim(2, 2, 2, 2, 1, 1, 10, 0, u"5"); }, 0},
        {"dimension text without direction",
         [](TJGdata& j) { j.A_Dim(0, 0, 3, 4, 1, 1, 0, 1e-11, u"5"); }, 0},
        // Point solids
        {"solid2", [](TJGdata& j) { j.A_Solid2(0, 0, 1, 0); }, kKindSolid2},
        {"solid2 of no length", [](TJGdata& j) { j.A_Solid2(0, 0, 0, 0); }, 0},
        {"solid3", [](TJGdata& j) { j.A_Solid3(0, 0, 1, 0, 1, 1); }, kKindSolid3},
        {"solid3 collinear", [](TJGdata& j) { j.A_Solid3(0, 0, 1, 0, 2, 0); }, kKindSolid3},
        {"solid3 P1 = P2", [](TJGdata& j) { j.A_Solid3(0, 0, 0, 0, 1, 1); }, 0},
        {"solid3 P2 = P3", [](TJGdata& j) { j.A_Solid3(0, 0, 1, 1, 1, 1); }, 0},
        {"solid3 P3 = P1", [](TJGdata& j) { j.A_Solid3(0, 0, 1, 0, 0, 0); }, 0},
        {"solid4", [](TJGdata& j) { j.A_Solid4(0, 0, 1, 0, 1, 1, 0, 1); }, kKindSolid4},
        {"solid4 collinear", [](TJGdata& j) { j.A_Solid4(0, 0, 1, 0, 2, 0, 3, 0); }, kKindSolid4},
        {"solid4 P1 = P3", [](TJGdata& j) { j.A_Solid4(0, 0, 1, 0, 0, 0, 0, 1); }, 0},
        {"solid4 P2 = P4", [](TJGdata& j) { j.A_Solid4(0, 0, 1, 0, 1, 1, 1, 0); }, 0},
        {"solid4 P1 = P2, P3 = P4", [](TJGdata& j) { j.A_Solid4(0, 0, 0, 0, 1, 0, 1, 0); }, 0},
        {"solid4 P3 = P4", [](TJGdata& j) { j.A_Solid4(0, 0, 1, 0, 1, 1, 1, 1); }, kKindSolid3},
        // Circular and ring solids
        {"solidC", [](TJGdata& j) { j.A_SolidC(0, 0, 5, 1, 0, 0, 360, 5); }, kKindSolidC},
        {"solidC code -1", [](TJGdata& j) { j.A_SolidC(0, 0, 5, 1, 0, 0, 360, -1); }, kKindSolidC},
        {"solidC code 3", [](TJGdata& j) { j.A_SolidC(0, 0, 5, 1, 0, 0, 360, 3); }, 0},
        {"solidC flatness 0", [](TJGdata& j) { j.A_SolidC(0, 0, 5, 0, 0, 0, 360, 5); }, 0},
        {"solidC radius 0", [](TJGdata& j) { j.A_SolidC(0, 0, 0, 1, 0, 0, 360, 5); }, 0},
        {"solidD code 100", [](TJGdata& j) { j.A_SolidD(0, 0, 5, -1, 0, 0, 360, 100); },
         kKindSolidE},
        {"solidD code 5", [](TJGdata& j) { j.A_SolidD(0, 0, 5, 1, 0, 0, 360, 5); }, 0},
        {"solidO", [](TJGdata& j) { j.A_SolidO(0, 0, 5, 1, 0, 0, 360, 2); }, kKindSolidO},
        {"solidO ri = r", [](TJGdata& j) { j.A_SolidO(0, 0, 5, 1, 0, 0, 360, 5); }, 0},
        {"solidO ri just below r", [](TJGdata& j) { j.A_SolidO(0, 0, 5, 1, 0, 0, 360, 5 - 5e-11); },
         0},
        {"solidO ri 0", [](TJGdata& j) { j.A_SolidO(0, 0, 5, 1, 0, 0, 360, 0); }, 0},
        {"solidO flatness 0", [](TJGdata& j) { j.A_SolidO(0, 0, 5, 0, 0, 0, 360, 2); }, 0},
        {"solidG", [](TJGdata& j) { j.A_SolidG(0, 0, 5, 1, 0, 0, 360, 2); }, kKindSolidG},
        {"solidG ri > r", [](TJGdata& j) { j.A_SolidG(0, 0, 5, 1, 0, 0, 360, 6); }, 0},
        // A shape that is no number is refused, as the writer would never send it.
        {"arc radius not a number", [](TJGdata& j) { j.A_Arc(0, 0, kNaN, 0, 90, 1, 0); }, 0},
        {"solidC flatness not a number",
         [](TJGdata& j) { j.A_SolidC(0, 0, 5, kNaN, 0, 0, 360, 5); }, 0},
        {"solidO inner radius not a number",
         [](TJGdata& j) { j.A_SolidO(0, 0, 5, 1, 0, 0, 360, kNaN); }, 0},
    };
    return cases;
}

TEST_F(EntityStore, AppendersStoreOrRefuse) {
    for (const TAppendCase& c : AppendCases()) {
        SCOPED_TRACE(c.what);
        TJGdata j;
        c.call(j);
        EXPECT_EQ(AllCounts(j), j.EntN);
        if (c.kind == 0) {
            EXPECT_EQ(j.EntN, 0);
            continue;
        }
        ASSERT_EQ(j.EntN, 1);
        EXPECT_EQ(j.EntNo[0].yn, c.kind);
        EXPECT_EQ(j.EntNo[0].no, 0);
        EXPECT_EQ(KindCount(j, c.kind), 1);
    }
}

// Every appender in its explicit-attribute form gives the new record exactly those
// attributes, and changes nothing when the plain form refuses.
TEST_F(EntityStore, ExplicitAttributesGoToTheNewRecord) {
    const TDavEntAttr at{11, 12, 13, 14, 15, 16, 17};
    struct TAtCase {
        const char* what;
        std::function<void(TJGdata&)> call;
        bool stored;
    };
    const std::vector<TAtCase> cases = {
        {"line", [&](TJGdata& j) { j.A_Line(at, 0, 0, 1, 0); }, true},
        {"line refused", [&](TJGdata& j) { j.A_Line(at, 0, 0, 0, 0); }, false},
        {"point", [&](TJGdata& j) { j.A_Ten(at, 0, 0); }, true},
        {"marker", [&](TJGdata& j) { j.A_Mark(at, 0, 0, 1, 0, 1); }, true},
        {"circle", [&](TJGdata& j) { j.A_Circle(at, 0, 0, 1); }, true},
        {"circle refused", [&](TJGdata& j) { j.A_Circle(at, 0, 0, 0); }, false},
        {"arc", [&](TJGdata& j) { j.A_Arc(at, 0, 0, 1, 0, 90, 1, 0); }, true},
        {"text", [&](TJGdata& j) { j.A_Text(at, 0, 0, 0, 1, 0, u"a"); }, true},
        {"text refused", [&](TJGdata& j) { j.A_Text(at, 0, 0, 0, 1, 0, u" "); }, false},
        {"dimension", [&](TJGdata& j) { j.A_Dim(at, 0, 0, 1, 0, 0, 0, 1, 0, u""); }, true},
        {"dimension refused", [&](TJGdata& j) { j.A_Dim(at, 0, 0, 0, 0, 0, 0, 1, 0, u""); }, false},
        {"solid2", [&](TJGdata& j) { j.A_Solid2(at, 0, 0, 1, 0); }, true},
        {"solid3", [&](TJGdata& j) { j.A_Solid3(at, 0, 0, 1, 0, 1, 1); }, true},
        {"solid4", [&](TJGdata& j) { j.A_Solid4(at, 0, 0, 1, 0, 1, 1, 0, 1); }, true},
        {"solid4 reduced", [&](TJGdata& j) { j.A_Solid4(at, 0, 0, 0, 0, 1, 0, 1, 1); }, true},
        {"solid4 refused", [&](TJGdata& j) { j.A_Solid4(at, 0, 0, 1, 0, 0, 0, 1, 1); }, false},
        {"solidC", [&](TJGdata& j) { j.A_SolidC(at, 0, 0, 1, 1, 0, 0, 360, 0); }, true},
        {"solidD", [&](TJGdata& j) { j.A_SolidD(at, 0, 0, 1, 1, 0, 0, 360, 0); }, true},
        {"solidD refused", [&](TJGdata& j) { j.A_SolidD(at, 0, 0, 1, 1, 0, 0, 360, -1); }, false},
        {"solidO", [&](TJGdata& j) { j.A_SolidO(at, 0, 0, 2, 1, 0, 0, 360, 1); }, true},
        {"solidG", [&](TJGdata& j) { j.A_SolidG(at, 0, 0, 2, 1, 0, 0, 360, 1); }, true},
    };
    for (const TAtCase& c : cases) {
        SCOPED_TRACE(c.what);
        // A record of the same kind already there must keep its own attributes.
        TJGdata j;
        j.A_Line(0, 0, 1, 1);
        const TDavEntAttr before = j.EntLine[0].att;
        c.call(j);
        EXPECT_EQ(AttrText(j.EntLine[0].att), AttrText(before));
        EXPECT_EQ(j.EntN, c.stored ? 2 : 1);
        EXPECT_EQ(AllCounts(j), j.EntN);
        if (c.stored) {
            EXPECT_EQ(AttrText(LastAttr(j)), AttrText(at));
        }
    }
}

TEST_F(EntityStore, NewRecordsTakeTheCurrentAttributes) {
    jg.A_Line(0, 0, 1, 0);
    jg.A_Ten(1, 2);
    jg.A_Solid2(0, 0, 1, 0);
    const TDavEntAttr current{7, 3, 4, 5, 6, 8, 2};
    EXPECT_EQ(AttrText(jg.EntLine[0].att), AttrText(current));
    EXPECT_EQ(jg.EntLine[0].CrvNo, 0);
    // Points carry the point colour; solids keep the line colour and their own RGB value.
    TDavEntAttr point = current;
    point.Col = 9;
    EXPECT_EQ(AttrText(jg.EntPnt[0].att), AttrText(point));
    EXPECT_EQ(AttrText(jg.EntSld2[0].att), AttrText(current));
    EXPECT_EQ(jg.EntSld2[0].Color, 0x123456);
    // The store leaves the one-shot attributes for the caller to clear.
    EXPECT_EQ(jg.w_IPNo, 7);
    EXPECT_EQ(jg.w_Attr, 2);
}

TEST_F(EntityStore, ReplacedArguments) {
    jg.A_Mark(1, 2, 0, 45, 12);
    jg.A_Mark(1, 2, 1e-11, 0, -8);
    jg.A_Mark(1, 2, -2, 0, -7);
    jg.A_Mark(1, 2, 3, 0, 11);
    const struct {
        double bai;
        int cod;
    } marks[] = {{1, -3}, {1, -3}, {-2, -7}, {3, 11}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(jg.EntMark[static_cast<size_t>(i)].bai, marks[i].bai);
        EXPECT_EQ(jg.EntMark[static_cast<size_t>(i)].cod, marks[i].cod);
        EXPECT_EQ(jg.EntMark[static_cast<size_t>(i)].att.Col, 9);
    }

    jg.A_Arc(0, 0, 5, 10, 20, 0, 30);
    jg.A_Arc(0, 0, 5, 10, 20, -0.5, 30);
    EXPECT_EQ(jg.EntArc[0].he, 1.0);
    EXPECT_EQ(jg.EntArc[1].he, -0.5);
    EXPECT_EQ(jg.EntArc[0].sa, 10);
    EXPECT_EQ(jg.EntArc[0].ea, 20);
    EXPECT_EQ(jg.EntArc[0].ka, 30);

    jg.A_Text(10, 0, 0, 1, 0, u"a");
    jg.A_Text(-1, 0, 0, 1, 0, u"a");
    jg.A_Text(9, 0, 0, 1, 0, u"a");
    EXPECT_EQ(jg.EntText[0].no, 0);
    EXPECT_EQ(jg.EntText[1].no, 0);
    EXPECT_EQ(jg.EntText[2].no, 9);
}

TEST_F(EntityStore, TextSizesComeFromTheTextType) {
    jg.Mojisyu[3] = TDavMojisyu{4.0, 5.0, 0.5, 7};
    jg.A_Mjs(3, 1.0, 1.5, 0.1, 6, 0);
    jg.A_Mbs(4);
    jg.A_Font(u"<Gothic>");
    jg.A_Text(8, 1, 2, 0, 10, u" A ");
    jg.A_Mjs(0, 1.0, 1.5, 0.1, 6, 0);
    jg.A_Text(0, 1, 2, 10, 0, u"B");
    jg.w_Mjs = 11;  // a type number outside the table, as a host's file may give
    jg.A_Text(0, 1, 2, 10, 0, u"C");

    const TDavEntText& typed = jg.EntText[0];
    EXPECT_EQ(typed.no, 8);
    EXPECT_EQ(typed.cn, 3);
    EXPECT_EQ(typed.cc, 4);
    EXPECT_EQ(typed.mw, 4.0);
    EXPECT_EQ(typed.mh, 5.0);
    EXPECT_EQ(typed.md, 0.5);
    EXPECT_EQ(typed.att.Col, 7);
    EXPECT_EQ(typed.fo, u"<Gothic>");
    EXPECT_EQ(typed.st, u" A ");  // stored with its blanks
    EXPECT_EQ(typed.x1, 1);
    EXPECT_EQ(typed.y1, 2);
    EXPECT_EQ(typed.x2, 0);
    EXPECT_EQ(typed.y2, 10);
    for (size_t i : {1u, 2u}) {
        SCOPED_TRACE(i);
        const TDavEntText& free = jg.EntText[i];
        EXPECT_EQ(free.cn, i == 1 ? 0 : 11);
        EXPECT_EQ(free.mw, 1.0);
        EXPECT_EQ(free.mh, 1.5);
        EXPECT_EQ(free.md, 0.1);
        EXPECT_EQ(free.att.Col, 6);
    }
}

TEST_F(EntityStore, DimensionText) {
    const struct {
        double x2, y2;
        std::u16string given;
        std::u16string stored;
    } cases[] = {
        {3, 4, u"", u"5"},        {3, 4, u" \u3000", u"5"},     {3, 4, u"12", u"12"},
        {3, 4, u" 12 ", u" 12 "}, {1, 1, u"", u"1.4142135624"}, {25.4, 0, u"", u"25.4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        TJGdata j;
        j.A_Dim(0, 0, c.x2, c.y2, 1, 2, 10, 0, c.given);
        ASSERT_EQ(j.EntDimN, 1);
        EXPECT_EQ(j.EntDim[0].txt.st, c.stored);
    }
}

TEST_F(EntityStore, DimensionRecord) {
    jg.Mojisyu[3] = TDavMojisyu{4.0, 5.0, 0.5, 7};
    jg.A_Mjs(3, 0, 0, 0, 0, 0);
    jg.A_Mbs(2);
    jg.A_Font(u"<F>");
    jg.A_Dim(1, 2, 3, 4, 5, 6, 7, 8, u"d");
    const TDavEntDim& d = jg.EntDim[0];
    const TDavEntAttr current{7, 3, 4, 5, 6, 8, 2};
    EXPECT_EQ(AttrText(d.att), AttrText(current));
    EXPECT_EQ(AttrText(d.lin.att), AttrText(current));
    EXPECT_EQ(d.lin.CrvNo, 0);
    EXPECT_EQ(d.lin.x1, 1);
    EXPECT_EQ(d.lin.y1, 2);
    EXPECT_EQ(d.lin.x2, 3);
    EXPECT_EQ(d.lin.y2, 4);
    EXPECT_EQ(d.txt.no, 2);
    EXPECT_EQ(d.txt.cn, 3);
    EXPECT_EQ(d.txt.cc, 2);
    EXPECT_EQ(d.txt.mw, 4.0);
    EXPECT_EQ(d.txt.att.Col, 7);
    EXPECT_EQ(d.txt.att.Lay, 4);
    EXPECT_EQ(d.txt.x1, 5);
    EXPECT_EQ(d.txt.y2, 8);
    EXPECT_EQ(d.txt.fo, u"<F>");
}

// With explicit attributes a dimension's text keeps its text type's colour; a plain text
// and a free-size dimension text take the given colour.
TEST_F(EntityStore, ExplicitAttributesAndTextColour) {
    const TDavEntAttr at{0, 1, 2, 44, 3, 4, 1};
    jg.Mojisyu[3] = TDavMojisyu{4.0, 5.0, 0.5, 7};
    jg.A_Mjs(3, 0, 0, 0, 0, 0);
    jg.A_Dim(at, 0, 0, 1, 0, 0, 0, 1, 0, u"");
    jg.A_Text(at, 0, 0, 0, 1, 0, u"t");
    jg.A_Mjs(0, 1, 1, 0, 6, 0);
    jg.A_Dim(at, 0, 0, 1, 0, 0, 0, 1, 0, u"");

    TDavEntAttr typed = at;
    typed.Col = 7;
    EXPECT_EQ(AttrText(jg.EntDim[0].att), AttrText(at));
    EXPECT_EQ(AttrText(jg.EntDim[0].lin.att), AttrText(at));
    EXPECT_EQ(AttrText(jg.EntDim[0].txt.att), AttrText(typed));
    EXPECT_EQ(AttrText(jg.EntText[0].att), AttrText(at));
    EXPECT_EQ(AttrText(jg.EntDim[1].txt.att), AttrText(at));
}

TEST_F(EntityStore, FourPointSolidReductions) {
    struct TSolidCase {
        const char* what;
        double p[8];
        int kind;
        double q[8];  // stored corners: three for a triangle, four for a quadrilateral
    };
    const TSolidCase cases[] = {
        {"P1 = P2", {0, 0, 0, 0, 1, 0, 1, 1}, kKindSolid3, {0, 0, 1, 0, 1, 1}},
        {"P1 = P4", {0, 0, 1, 0, 1, 1, 0, 0}, kKindSolid3, {0, 0, 1, 0, 1, 1}},
        {"P2 = P3", {0, 0, 1, 0, 1, 0, 1, 1}, kKindSolid3, {0, 0, 1, 0, 1, 1}},
        {"P3 = P4", {0, 0, 1, 0, 1, 1, 1, 1}, kKindSolid3, {0, 0, 1, 0, 1, 1}},
        {"P1 = P3", {0, 0, 1, 0, 0, 0, 0, 1}, 0, {}},
        {"P2 = P4", {0, 0, 1, 0, 1, 1, 1, 0}, 0, {}},
        {"three equal", {0, 0, 0, 0, 0, 0, 1, 1}, 0, {}},
        {"distinct", {0, 0, 2, 0, 2, 2, 0, 2}, kKindSolid4, {0, 0, 2, 0, 2, 2, 0, 2}},
    };
    for (const TSolidCase& c : cases) {
        SCOPED_TRACE(c.what);
        TJGdata j;
        j.A_SCol(99);
        j.A_Solid4(c.p[0], c.p[1], c.p[2], c.p[3], c.p[4], c.p[5], c.p[6], c.p[7]);
        if (c.kind == 0) {
            EXPECT_EQ(j.EntN, 0);
            continue;
        }
        ASSERT_EQ(j.EntN, 1);
        EXPECT_EQ(j.EntNo[0].yn, c.kind);
        if (c.kind == kKindSolid3) {
            const TDavEntSld3& s = j.EntSld3[0];
            const double got[6] = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
            for (int i = 0; i < 6; ++i) {
                EXPECT_EQ(got[i], c.q[i]) << i;
            }
            EXPECT_EQ(s.Color, 99);
            EXPECT_EQ(j.EntSld4N, 0);
        } else {
            const TDavEntSld4& s = j.EntSld4[0];
            const double got[8] = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3, s.x4, s.y4};
            for (int i = 0; i < 8; ++i) {
                EXPECT_EQ(got[i], c.q[i]) << i;
            }
        }
    }
}

TEST_F(EntityStore, DrawingOrderAcrossKinds) {
    TJGdata j;
    j.A_Circle(0, 0, 1);
    j.A_Line(0, 0, 1, 0);
    j.A_Circle(0, 0, 2);
    ASSERT_EQ(j.EntN, 3);
    EXPECT_EQ(j.EntNo[0].yn, kKindCircle);
    EXPECT_EQ(j.EntNo[0].no, 0);
    EXPECT_EQ(j.EntNo[1].yn, kKindLine);
    EXPECT_EQ(j.EntNo[1].no, 0);
    EXPECT_EQ(j.EntNo[2].yn, kKindCircle);
    EXPECT_EQ(j.EntNo[2].no, 1);
}

TEST_F(EntityStore, ListsGrowInBlocksOfAThousand) {
    TJGdata j;
    j.A_Line(0, 0, 1, 0);
    EXPECT_EQ(j.EntLine.size(), 1000u);
    for (int i = 1; i < 1000; ++i) {
        j.A_Line(0, 0, 1, i);
    }
    EXPECT_EQ(j.EntLine.size(), 1000u);
    j.A_Line(0, 0, 1, 1000);
    EXPECT_EQ(j.EntLineN, 1001);
    EXPECT_EQ(j.EntLine.size(), 2000u);
    EXPECT_EQ(j.EntN, 1001);
    EXPECT_EQ(j.EntNo.size(), 2000u);
    EXPECT_EQ(j.EntNo[1000].yn, kKindLine);
    EXPECT_EQ(j.EntNo[1000].no, 1000);
    EXPECT_EQ(j.EntLine[1000].y2, 1000);
    // A refused call neither counts nor grows.
    j.A_Line(5, 5, 5, 5);
    EXPECT_EQ(j.EntLineN, 1001);
    EXPECT_EQ(j.EntN, 1001);
}

}  // namespace
