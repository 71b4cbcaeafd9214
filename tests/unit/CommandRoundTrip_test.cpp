// Commands saved to an exchange file and read back: the model holds what was sent.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"

namespace {

using TestSupport::TTempFolder;

// Reals travel as at most 15 significant digits.
void Expect15(double actual, double expected) {
    EXPECT_NEAR(actual, expected, std::fabs(expected) * 1e-14);
}

struct Attrs {
    int LGrp, Lay, Col, Ltp, Wid, Attr;
};

void ExpectAttr(const TDavEntAttr& at, const Attrs& e) {
    EXPECT_EQ(at.IPNo, 0);
    EXPECT_EQ(at.LGrp, e.LGrp);
    EXPECT_EQ(at.Lay, e.Lay);
    EXPECT_EQ(at.Col, e.Col);
    EXPECT_EQ(at.Ltp, e.Ltp);
    EXPECT_EQ(at.Wid, e.Wid);
    EXPECT_EQ(at.Attr, e.Attr);
}

void SaveAndRead(TJGdata& writer, TJGdata& reader) {
    TTempFolder folder;
    const std::u16string fn = folder.File("ZIV_TEMP.TXT");
    writer.SaveTempFile(fn);
    reader.OpenTempFile(fn);
}

std::vector<int> Kinds(const TJGdata& jg) {
    std::vector<int> kinds;
    for (int i = 0; i < jg.EntN; ++i) {
        kinds.push_back(jg.EntNo[static_cast<size_t>(i)].yn);
    }
    return kinds;
}

// Every entity kind the commands write, with the attribute couplings in between.
void SendEveryKind(TJGdata& w) {
    w.S_Init();
    w.WidF = true;
    w.S_LGrp(3);
    w.S_Lay(10);
    w.S_Col(5, 0);
    w.S_Ltp(2, 0);
    w.S_Wid(7);
    w.S_Line(0, 0, 10.5, -5.25);
    w.S_Attr(1 + 4);
    w.S_Circle(1.23456789012345, -9876.54321098765, 3.125);
    w.S_Arc(1.0 / 3.0, 2.0 / 3.0, 1e-5, 350, 10, -0.5, 30);
    w.S_Mjs(0, 2.5, 3, 0.5, 4, 0);
    w.S_Mbs(7);
    w.S_Font(u"<ＭＳ 明朝>");
    w.S_Text(8, 100, 50, 0, -10, u" 日本 語 ");
    w.S_Mjs(3, 0, 0, 0, 0, 0);
    w.S_Text(0, 1, 2, 10, 0, u"A\r\nlc9");
    w.S_PCol(6, 0);
    w.S_Ten(1.5, -2);
    w.S_Mark(1, 2, 0, 45, 20);
    w.S_SCol(123456);
    w.S_Solid2(0, 0, 1, 2);
    w.S_Solid3(0, 0, 1, 0, 1, 1);
    w.S_Solid4(0, 0, 1, 0, 1, 1, 0, 1);
    w.S_Solid4(0, 0, 0, 0, 1, 0, 2, 3);
    w.S_SolidC(1, 2, 5, 1, 0, 0, 360, 100);
    w.S_SolidD(1, 2, 5, 0.5, 10, 20, 30, 0);
    w.S_SolidO(1, 2, 5, 1, 0, 0, 360, 2);
    w.S_SolidG(1, 2, 5, 1, 0, 0, 180, 4.5);
    w.S_LGrp(15);
    w.S_Lay(0);
    w.S_Col(12, 1);
    w.S_PLineSet(0, 0, 1, 0);
    w.S_PLineSet(1, 0, 1, 1);
    w.S_PLineSet(1, 1, 0, 1);
    w.S_PLine();
    w.S_Dim(0, 0, 25.4, 0, 10, 2, 10, 0, u"");
    w.S_Line(5, 5, 6, 6);
}

TEST(CommandRoundTrip, EveryKindInBothEncodings) {
    for (bool utf8 : {true, false}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "code page");
        TJGdata w;
        w.MojiCode = utf8;
        SendEveryKind(w);
        TJGdata r;
        SaveAndRead(w, r);
        EXPECT_EQ(r.MojiCode, utf8);

        EXPECT_EQ(Kinds(r), (std::vector<int>{1,  2,  3,  4,  4,  5, 6, 9, 10, 11,
                                              10, 12, 13, 14, 15, 1, 1, 1, 7,  1}));
        const Attrs first{3, 10, 5, 2, 7, 0};
        const Attrs solids{3, 10, 10, 2, 7, 0};
        const Attrs second{15, 0, 103, 2, 7, 0};

        ASSERT_EQ(r.EntLineN, 5);
        const TDavEntLine& l0 = r.EntLine[0];
        ExpectAttr(l0.att, first);
        EXPECT_EQ(l0.CrvNo, 0);
        EXPECT_EQ(l0.x1, 0);
        EXPECT_EQ(l0.y1, 0);
        EXPECT_EQ(l0.x2, 10.5);
        EXPECT_EQ(l0.y2, -5.25);
        for (int i = 1; i <= 3; ++i) {
            ExpectAttr(r.EntLine[i].att, second);
            EXPECT_EQ(r.EntLine[i].CrvNo, 1);
        }
        EXPECT_EQ(r.EntLine[3].x1, 1);
        EXPECT_EQ(r.EntLine[3].y2, 1);
        EXPECT_EQ(r.EntLine[4].CrvNo, 0);
        EXPECT_EQ(r.EntLine[4].x2, 6);

        ASSERT_EQ(r.EntCircN, 1);
        ExpectAttr(r.EntCirc[0].att, {3, 10, 5, 2, 7, 5});
        EXPECT_EQ(r.EntCirc[0].cx, 1.23456789012345);
        EXPECT_EQ(r.EntCirc[0].cy, -9876.54321098765);
        EXPECT_EQ(r.EntCirc[0].cr, 3.125);

        ASSERT_EQ(r.EntArcN, 1);
        const TDavEntArc& a = r.EntArc[0];
        ExpectAttr(a.att, first);
        Expect15(a.cx, 1.0 / 3.0);
        Expect15(a.cy, 2.0 / 3.0);
        EXPECT_EQ(a.cr, 1e-5);
        EXPECT_EQ(a.sa, 350);
        EXPECT_EQ(a.ea, 10);
        EXPECT_EQ(a.he, -0.5);
        EXPECT_EQ(a.ka, 30);

        ASSERT_EQ(r.EntTextN, 2);
        const TDavEntText& t0 = r.EntText[0];
        ExpectAttr(t0.att, {3, 10, 4, 2, 7, 0});
        EXPECT_EQ(t0.no, 8);
        EXPECT_EQ(t0.cc, 7);
        EXPECT_EQ(t0.cn, 0);
        EXPECT_EQ(t0.mw, 2.5);
        EXPECT_EQ(t0.mh, 3);
        EXPECT_EQ(t0.md, 0.5);
        EXPECT_EQ(t0.x1, 100);
        EXPECT_EQ(t0.y2, -10);
        EXPECT_EQ(t0.fo, u"<ＭＳ 明朝>");
        EXPECT_EQ(t0.st, u" 日本 語 ");
        // The line break travelled as blanks; its tail did not become a colour line.
        const TDavEntText& t1 = r.EntText[1];
        EXPECT_EQ(t1.no, 0);
        EXPECT_EQ(t1.cn, 3);
        EXPECT_EQ(t1.st, u"A  lc9");
        EXPECT_EQ(t1.att.Col, r.Mojisyu[3].C);

        ASSERT_EQ(r.EntPntN, 1);
        ExpectAttr(r.EntPnt[0].att, {3, 10, 6, 2, 7, 0});
        EXPECT_EQ(r.EntPnt[0].px, 1.5);
        EXPECT_EQ(r.EntPnt[0].py, -2);
        ASSERT_EQ(r.EntMarkN, 1);
        EXPECT_EQ(r.EntMark[0].att.Col, 6);
        EXPECT_EQ(r.EntMark[0].bai, 1);
        EXPECT_EQ(r.EntMark[0].ang, 45);
        EXPECT_EQ(r.EntMark[0].cod, -3);

        ASSERT_EQ(r.EntSld2N, 1);
        ExpectAttr(r.EntSld2[0].att, solids);
        EXPECT_EQ(r.EntSld2[0].Color, 123456);
        EXPECT_EQ(r.EntSld2[0].y2, 2);
        ASSERT_EQ(r.EntSld3N, 2);
        EXPECT_EQ(r.EntSld3[0].Color, 123456);
        EXPECT_EQ(r.EntSld3[0].x3, 1);
        EXPECT_EQ(r.EntSld3[0].y3, 1);
        EXPECT_EQ(r.EntSld3[1].x2, 1);
        EXPECT_EQ(r.EntSld3[1].y2, 0);
        EXPECT_EQ(r.EntSld3[1].x3, 2);
        EXPECT_EQ(r.EntSld3[1].y3, 3);
        ASSERT_EQ(r.EntSld4N, 1);
        EXPECT_EQ(r.EntSld4[0].x4, 0);
        EXPECT_EQ(r.EntSld4[0].y4, 1);

        ASSERT_EQ(r.EntSldCN, 1);
        EXPECT_EQ(r.EntSldC[0].Color, 123456);
        EXPECT_EQ(r.EntSldC[0].da, 360);
        EXPECT_EQ(r.EntSldC[0].fl, 100);
        ASSERT_EQ(r.EntSldEN, 1);
        EXPECT_EQ(r.EntSldE[0].he, 0.5);
        EXPECT_EQ(r.EntSldE[0].ka, 10);
        EXPECT_EQ(r.EntSldE[0].sa, 20);
        EXPECT_EQ(r.EntSldE[0].fl, 0);
        ASSERT_EQ(r.EntSldON, 1);
        EXPECT_EQ(r.EntSldO[0].ri, 2);
        ASSERT_EQ(r.EntSldGN, 1);
        EXPECT_EQ(r.EntSldG[0].da, 180);
        EXPECT_EQ(r.EntSldG[0].ri, 4.5);

        ASSERT_EQ(r.EntDimN, 1);
        const TDavEntDim& d = r.EntDim[0];
        ExpectAttr(d.att, second);
        EXPECT_EQ(d.lin.x2, 25.4);
        EXPECT_EQ(d.txt.no, 2);
        EXPECT_EQ(d.txt.x1, 10);
        EXPECT_EQ(d.txt.y1, 2);
        EXPECT_EQ(d.txt.st, u"25.4");
    }
}

// Many entities with changing attributes and arbitrary reals: every value comes back to 15
// significant digits, in the order it was sent.
TEST(CommandRoundTrip, GeneratedEntities) {
    std::mt19937 gen(407);
    std::uniform_real_distribution<double> coord(-1e6, 1e6);
    std::uniform_real_distribution<double> small(1e-3, 1e3);
    std::uniform_int_distribution<int> pick(0, 15);

    struct Sent {
        int kind;
        Attrs at;
        double v[4];
    };
    std::vector<Sent> sent;
    TJGdata w;
    w.MojiCode = true;
    w.S_Init();
    w.WidF = true;
    Attrs at{0, 0, 1, 1, 0, 0};
    for (int i = 0; i < 600; ++i) {
        switch (pick(gen) % 4) {
            case 0: at.LGrp = pick(gen); break;
            case 1: at.Lay = pick(gen); break;
            case 2: at.Col = 1 + pick(gen) % 9; break;
            default: at.Wid = pick(gen) * 100; break;
        }
        w.S_LGrp(at.LGrp);
        w.S_Lay(at.Lay);
        w.S_Col(at.Col, 0);
        w.S_Ltp(at.Ltp, 0);
        w.S_Wid(at.Wid);
        Sent s{1 + i % 2, at, {coord(gen), coord(gen), coord(gen), small(gen)}};
        if (s.kind == 1) {
            w.S_Line(s.v[0], s.v[1], s.v[2], s.v[3]);
        } else {
            w.S_Circle(s.v[0], s.v[1], s.v[3]);
        }
        sent.push_back(s);
    }
    TJGdata r;
    SaveAndRead(w, r);

    ASSERT_EQ(r.EntN, static_cast<int>(sent.size()));
    for (int i = 0; i < r.EntN; ++i) {
        SCOPED_TRACE(i);
        const TDavEntNo& e = r.EntNo[static_cast<size_t>(i)];
        const Sent& s = sent[static_cast<size_t>(i)];
        ASSERT_EQ(e.yn, s.kind);
        if (e.yn == kKindLine) {
            const TDavEntLine& l = r.EntLine[static_cast<size_t>(e.no)];
            ExpectAttr(l.att, s.at);
            Expect15(l.x1, s.v[0]);
            Expect15(l.y1, s.v[1]);
            Expect15(l.x2, s.v[2]);
            Expect15(l.y2, s.v[3]);
        } else {
            const TDavEntCircle& c = r.EntCirc[static_cast<size_t>(e.no)];
            ExpectAttr(c.att, s.at);
            Expect15(c.cx, s.v[0]);
            Expect15(c.cy, s.v[1]);
            Expect15(c.cr, s.v[3]);
        }
    }
}

}  // namespace
