// Tests of the reader of the host's file: tokens, dispatch order, header, attribute, control
// and entity lines, encodings and hostile input.
#include <cstring>  // for std::strlen
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>  // for std::pair
#include <vector>

#include <gtest/gtest.h>

#include "ModelDump.h"
#include "exchange/DavGaibu.h"
#include "exchange/DavGaibuReader.h"
#include "exchange/DavKinds.h"
#include "tests/support/TestSupport.h"
#include "util/Platform.h"
#include "util/TextFile.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// Lines separated by LF, read as a UTF-8 file with its mark.
void Load(TJGdata& jg, std::u16string_view text) {
    jg.OpenTempBytes(kBom + ToUtf8(text));
}

using TestSupport::Fixture;

struct TCase {
    const char* name;
    std::u16string text;
    std::function<void(const TJGdata&)> check;
};

void RunCases(const std::vector<TCase>& cases) {
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        Load(jg, c.text);
        c.check(jg);
        EXPECT_TRUE(ModelDump::Consistent(jg));
    }
}

// Model unchanged by the text, apart from the encoding flag.
void Unchanged(const TJGdata& jg) {
    TJGdata fresh;
    fresh.MojiCode = true;
    EXPECT_EQ(ModelDump::Dump(jg), ModelDump::Dump(fresh));
}

void IsLine(const TJGdata& jg, double x1, double y1, double x2, double y2) {
    ASSERT_EQ(jg.EntN, 1);
    ASSERT_EQ(jg.EntLineN, 1);
    const TDavEntLine& l = jg.EntLine[0];
    EXPECT_EQ(l.x1, x1);
    EXPECT_EQ(l.y1, y1);
    EXPECT_EQ(l.x2, x2);
    EXPECT_EQ(l.y2, y2);
}

std::u16string Repeat(std::u16string_view s, int n) {
    std::u16string out;
    for (int i = 0; i < n; ++i) {
        out += s;
    }
    return out;
}

}  // namespace

// The layer-group name line joins its tokens with one blank each, so it shows the split.
TEST(TempParser, TokensAsTheLayerGroupNameShowsThem) {
    struct TRow {
        std::u16string line;
        std::u16string name;
    };
    const TRow rows[] = {
        // Separators
        {u"lgn a  b\tc", u" a b c"},
        {u"lgnX", u"X"},
        {u"   \tlgn\t\tx", u" x"},
        {u"lgn a\u3000b", u" a\u3000b"},
        // A blank after the last value counts an empty last token.
        {u"lgn a ", u" a "},
        // Quote: dropped, the rest verbatim, never closed
        {u"lgn a \"b  c \"d", u" a b  c \"d"},
        {u"lgn\"a b", u"a b"},
        {u"lgn \"", u" "},
        // Equals sign: kept, the rest verbatim
        {u"lgn a=b  \"c\t", u" a=b  \"c\t"},
        // Characters outside the basic plane stay whole
        {u"lgn \U0002000B x\U0001F600", u" \U0002000B x\U0001F600"},
        // At most 400 tokens; later ones are dropped with the rest of the line
        {u"lgn" + Repeat(u" t", 450), Repeat(u" t", 399)},
        {u"lgn" + Repeat(u" t", 398) + u" \"a b", Repeat(u" t", 398) + u" a b"},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(ToUtf8(r.line.substr(0, 40)));
        TJGdata jg;
        Load(jg, r.line);
        EXPECT_EQ(jg.LGrpName[0], r.name);
    }
}

TEST(TempParser, HeaderLines) {
    RunCases({
        {"axis angle", u"hk 90", [](const TJGdata& jg) { EXPECT_EQ(jg.Jikukaku, 90.0); }},
        {"axis angle, trailing blank", u"hk 12.5 ",
         [](const TJGdata& jg) { EXPECT_EQ(jg.Jikukaku, 12.5); }},
        {"axis angle missing", u"hk", Unchanged},
        {"15 scales", u"hs" + Repeat(u" 2", 15), Unchanged},
        {"16 scales and a 17th value", u"hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17",
         [](const TJGdata& jg) {
             for (size_t g = 0; g < 16; ++g) {
                 EXPECT_EQ(jg.LGrpScale[g], g + 1.0);
             }
         }},
        {"sheet", u"hzs 420 297",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.ZumenXsize, 420.0);
             EXPECT_EQ(jg.ZumenYsize, 297.0);
         }},
        {"sheet, one value", u"hzs 420", Unchanged},
        {"text types",
         u"hcw 1 2 3 4 5 6 7 8 9 10\nhch 11 12 13 14 15 16 17 18 19 20\n"
         u"hcd .1 .2 .3 .4 .5 .6 .7 .8 .9 1\nhcc 1 2 3 4 5 6 7 8 9 10 11",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.Mojisyu[1].W, 1.0);
             EXPECT_EQ(jg.Mojisyu[10].W, 10.0);
             EXPECT_EQ(jg.Mojisyu[3].H, 13.0);
             EXPECT_EQ(jg.Mojisyu[5].D, 0.5);
             EXPECT_EQ(jg.Mojisyu[10].C, 10);
             EXPECT_EQ(jg.Mojisyu[0].W, 3.0);
         }},
        {"text widths, nine values", u"hcw 1 2 3 4 5 6 7 8 9", Unchanged},
        {"sheet units", u"bz 1 2", [](const TJGdata& jg) { EXPECT_TRUE(jg.Zusun); }},
        {"area", u"hn -1 2.5 3 4e2",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.AreaX1, -1.0);
             EXPECT_EQ(jg.AreaY1, 2.5);
             EXPECT_EQ(jg.AreaX2, 3.0);
             EXPECT_EQ(jg.AreaY2, 400.0);
             EXPECT_EQ(jg.EntN, 0);
         }},
        {"area, three values falls to a line", u"hn 1 2 3",
         [](const TJGdata& jg) { IsLine(jg, 0, 1, 2, 3); }},
        {"colour table, eight values", u"hrgb 1 2 3 4 5 6 7 8",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.RGB[1], 1);
             EXPECT_EQ(jg.RGB[8], 8);
             EXPECT_EQ(jg.RGB[9], 0);
         }},
        {"colour table, seven values", u"hrgb 1 2 3 4 5 6 7", Unchanged},
        {"colour table beyond 356 values", u"hrgb" + Repeat(u" 7", 399),
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.RGB[1], 7);
             EXPECT_EQ(jg.RGB[356], 7);
             EXPECT_EQ(jg.RGB[0], 0);
         }},
        {"drawing file keeps its blanks", u"file=C:\\My Drawings\\a  b.zmn ",
         [](const TJGdata& jg) { EXPECT_EQ(jg.ZumenFile, u"C:\\My Drawings\\a  b.zmn "); }},
        {"drawing file, empty", u"file=", [](const TJGdata& jg) { EXPECT_EQ(jg.ZumenFile, u""); }},
    });
}

TEST(TempParser, PickedPoints) {
    struct TRow {
        std::u16string line;
        int no;  // -1: no point is set
        int sta;
    };
    const TRow rows[] = {
        {u"hp1 10 20", 1, 0},
        {u"hp3- 10 20", 3, 1},
        {u"hp12ln 10 20", 12, 2},
        {u"hp99ci 10 20", 99, 3},
        {u"hp5ch 10 20", 5, 4},
        {u"hp7 10 20 30", 7, 0},
        // Out of range or not a number
        {u"hp0 10 20", -1, 0},
        {u"hp100 10 20", -1, 0},
        {u"hp-1 10 20", -1, 0},
        {u"hp1x 10 20", -1, 0},
        {u"hp 10 20", -1, 0},
        {u"hpln 10 20", -1, 0},
        // Too few values
        {u"hp1 10", -1, 0},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(ToUtf8(r.line));
        TJGdata jg;
        Load(jg, r.line);
        EXPECT_EQ(jg.IPointN, r.no > 0 ? 1 : 0);
        for (size_t k = 0; k < jg.IPoints.size(); ++k) {
            const TDavIndPoint& p = jg.IPoints[k];
            const bool set = static_cast<int>(k) == r.no;
            EXPECT_EQ(p.flg, set);
            EXPECT_EQ(p.x, set ? 10.0 : 0.0);
            EXPECT_EQ(p.y, set ? 20.0 : 0.0);
            EXPECT_EQ(p.sta, set ? r.sta : 0);
        }
        EXPECT_EQ(jg.EntN, 0);
    }
    TJGdata jg;
    Load(jg, u"hp1 10 20\nhp1ln 30 40");
    EXPECT_EQ(jg.IPointN, 2);
    EXPECT_EQ(jg.IPoints[1].x, 30.0);
    EXPECT_EQ(jg.IPoints[1].sta, 2);
}

TEST(TempParser, DispatchOrderAndFallThrough) {
    RunCases({
        {"lgn before lg", u"lgn3",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.LGrpName[0], u"3");
             EXPECT_TRUE(jg.w_FlgLGrp);
         }},
        {"lyn before ly", u"ly2\nlynA B",
         [](const TJGdata& jg) { EXPECT_EQ(jg.LayName[2], u"A B"); }},
        {"cn$ before cn", u"cn$abc",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_Font, u"abc");
             EXPECT_TRUE(jg.w_FlgMjs);
         }},
        {"hhp is no picked point", u"hhp5 1 2",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_IPNo, 5);
             EXPECT_EQ(jg.IPointN, 0);
         }},
        {"keys are case-sensitive", u"HK 90\nCI 1 2 3",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.Jikukaku, 0.0);
             IsLine(jg, 0, 1, 2, 3);
         }},
        {"circle with a trailing blank", u"ci 1 2 3 ", Unchanged},
        {"circle between circle and arc", u"ci 1 2 3 4 5 6", Unchanged},
        {"point with three values is a line", u"pt 1 2 3",
         [](const TJGdata& jg) { IsLine(jg, 0, 1, 2, 3); }},
        {"point with four values", u"pt 1 2 3 4", Unchanged},
        {"text with three values is a line", u"ch 1 2 3",
         [](const TJGdata& jg) { IsLine(jg, 0, 1, 2, 3); }},
        {"text with four values", u"ch 1 2 3 4", Unchanged},
        {"block without a name", u"BL 1 2", Unchanged},
        {"solid with 6 or 8 tokens", u"sl 1 2 3 4 5\nsl 1 2 3 4 5 6 7", Unchanged},
        {"round solid with 7 values", u"sc 1 2 3 4 5 6 7", Unchanged},
        {"unknown key, four tokens", u"xyz 1 2 3",
         [](const TJGdata& jg) { IsLine(jg, 0, 1, 2, 3); }},
        {"unknown key, other counts", u"xyz\nxyz 1\nabc 1 2 3 4", Unchanged},
        {"empty and blank lines", u"\n   \n\t\n\"\n\n", Unchanged},
        {"line", u"1.5 -2 3e1 .25", [](const TJGdata& jg) { IsLine(jg, 1.5, -2, 30, 0.25); }},
    });
}

TEST(TempParser, AttributeLinesAndTheHostsCurrentValues) {
    RunCases({
        {"colour: first line is current", u"lc3\nlc5",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurCol, 3);
             EXPECT_EQ(jg.w_Col, 5);
             EXPECT_FALSE(jg.w_FlgCol);
         }},
        {"colour 10 with a solid colour", u"lc10 77",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_Col, 10);
             EXPECT_EQ(jg.w_SlCol, 77);
         }},
        {"colour 10 alone", u"lc10 77\nlc10", [](const TJGdata& jg) { EXPECT_EQ(jg.w_SlCol, 77); }},
        {"colour not a number", u"lcx",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurCol, 0);
             EXPECT_EQ(jg.w_Col, 0);
         }},
        {"group A with status", u"lgA 1",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_LGrp, 10);
             EXPECT_EQ(jg.CurLGrp, 10);
             EXPECT_EQ(jg.LGrpStat[10], 1);
         }},
        {"group: one digit only, lower case", u"lgfz",
         [](const TJGdata& jg) { EXPECT_EQ(jg.w_LGrp, 15); }},
        {"group G is 0", u"lg3\nlgG",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_LGrp, 0);
             EXPECT_EQ(jg.CurLGrp, 3);
         }},
        {"group missing", u"lg 4",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.w_LGrp, 0);
             EXPECT_EQ(jg.LGrpStat[0], 4);
         }},
        {"layer indexes within its group", u"lg2\nly3 5\nly4",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.LayStat[2 * 16 + 3], 5);
             EXPECT_EQ(jg.CurLay, 3);
             EXPECT_EQ(jg.w_Lay, 4);
         }},
        {"names use the last group and layer", u"lgB\nlgn  Walls  East\nlyC\nlyn\"Doors  1",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.LGrpName[11], u" Walls East");
             EXPECT_EQ(jg.LayName[11 * 16 + 12], u"Doors  1");
         }},
        {"line type and width", u"lt2\nlt3\nlw4",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurLtp, 2);
             EXPECT_EQ(jg.w_Ltp, 3);
             EXPECT_EQ(jg.CurWid, 4);
             EXPECT_TRUE(jg.WidF);
         }},
        {"no width line", u"lc2", [](const TJGdata& jg) { EXPECT_FALSE(jg.WidF); }},
        {"base point 9 is 0", u"cc5\ncc9", [](const TJGdata& jg) { EXPECT_EQ(jg.w_Mbs, 0); }},
        {"base point 8", u"cc8", [](const TJGdata& jg) { EXPECT_EQ(jg.w_Mbs, 8); }},
        {"base point reads one digit", u"cc12", [](const TJGdata& jg) { EXPECT_EQ(jg.w_Mbs, 1); }},
        {"base point missing", u"cc3\ncc", [](const TJGdata& jg) { EXPECT_EQ(jg.w_Mbs, 0); }},
        {"free text type with sizes", u"cn0 3 4 0.5 2\ncn0 1 1 1 1",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurMjs, 0);
             EXPECT_EQ(jg.CurMjsW, 3.0);
             EXPECT_EQ(jg.CurMjsH, 4.0);
             EXPECT_EQ(jg.CurMjsD, 0.5);
             EXPECT_EQ(jg.CurMjsC, 2);
             EXPECT_EQ(jg.w_MjsW, 1.0);
         }},
        {"free text type without sizes", u"cn0 3 4 0.5",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurMjs, 0);
             EXPECT_EQ(jg.CurMjsW, 2.0);
             EXPECT_EQ(jg.w_MjsW, 2.0);
         }},
        {"font as the writer sends it", u"cn\"$<ＭＳ 明朝>\ncn$B",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.CurFont, u"<ＭＳ 明朝>");
             EXPECT_EQ(jg.w_Font, u"B");
         }},
        {"first non-empty font is current", u"cn$\ncn$A\ncn$B",
         [](const TJGdata& jg) { EXPECT_EQ(jg.CurFont, u"A"); }},
        {"point colour", u"pn4\npt 1 2",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntPntN, 1);
             EXPECT_EQ(jg.EntPnt[0].att.Col, 4);
             EXPECT_EQ(jg.EntPnt[0].px, 1.0);
         }},
    });
}

TEST(TempParser, OneShotAttributes) {
    RunCases({
        {"attribute bits", u"z1\nz3\nci 0 0 1\nci 0 0 2",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntCircN, 2);
             EXPECT_EQ(jg.EntCirc[0].att.Attr, 5);
             EXPECT_EQ(jg.EntCirc[1].att.Attr, 0);
         }},
        {"a bit set twice", u"z1\nz1\nz5\n0 0 1 1",
         [](const TJGdata& jg) { EXPECT_EQ(jg.EntLine[0].att.Attr, 17); }},
        {"attach to a picked point", u"hhp7\nci 0 0 1\nci 0 0 2",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.EntCirc[0].att.IPNo, 7);
             EXPECT_EQ(jg.EntCirc[1].att.IPNo, 0);
         }},
        {"attach with suffixes", u"hhp7ln\npt 0 0\nhhp12ci\npt 0 0\nhhp3ch\npt 0 0\nhhp7-\npt 0 0",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntPntN, 4);
             EXPECT_EQ(jg.EntPnt[0].att.IPNo, 7);
             EXPECT_EQ(jg.EntPnt[1].att.IPNo, 12);
             EXPECT_EQ(jg.EntPnt[2].att.IPNo, 3);
             EXPECT_EQ(jg.EntPnt[3].att.IPNo, 0);
         }},
        {"the dimension line takes them", u"z2\nhhp4\nmsg\n0 0 10 0\ncs 5 1 1 0 \"10",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntDimN, 1);
             EXPECT_EQ(jg.EntDim[0].lin.att.Attr, 2);
             EXPECT_EQ(jg.EntDim[0].lin.att.IPNo, 4);
             EXPECT_EQ(jg.EntDim[0].att.Attr, 0);
         }},
        {"entities take the current attributes", u"lg1\nly2\nlc3\nlt4\nlw5\nBL 1 2 door",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntBlkN, 1);
             const TDavEntAttr& a = jg.EntBlk[0].att;
             EXPECT_EQ(a.LGrp, 1);
             EXPECT_EQ(a.Lay, 2);
             EXPECT_EQ(a.Col, 3);
             EXPECT_EQ(a.Ltp, 4);
             EXPECT_EQ(a.Wid, 5);
             EXPECT_EQ(jg.EntBlk[0].nam, u"door");
         }},
    });
}

TEST(TempParser, PolylineGroups) {
    struct TRow {
        const char* name;
        std::u16string text;
        std::vector<int> crvNo;
    };
    const TRow rows[] = {
        {"closed by #", u"pl\n0 0 1 0\n1 0 1 1\n#\n2 2 3 3\npl\n0 0 5 5", {1, 1, 0, 2}},
        {"closed by an attribute line", u"pl\n0 0 1 0\nlc2\n1 0 1 1", {1, 0}},
        {"not closed by z or hhp", u"pl\n0 0 1 0\nz1\nhhp2\n1 0 1 1", {1, 1}},
        {"closed by another entity", u"pl\n0 0 1 0\nci 0 0 1\n1 0 1 1", {1, 0}},
        {"closed by msg", u"pl\n0 0 1 0\nmsg\n#\n1 0 1 1", {1, 0}},
        {"pl again opens a new group", u"pl\n0 0 1 0\npl\n1 0 1 1", {1, 2}},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        TJGdata jg;
        Load(jg, r.text);
        ASSERT_EQ(jg.EntLineN, static_cast<int>(r.crvNo.size()));
        for (size_t i = 0; i < r.crvNo.size(); ++i) {
            EXPECT_EQ(jg.EntLine[i].CrvNo, r.crvNo[i]);
        }
    }
}

TEST(TempParser, Dimensions) {
    RunCases({
        {"msg, line, cs", u"lc4\nmsg\n0 0 10 0\ncs 5 1 1 0 \"10 mm",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.EntN, 1);
             EXPECT_EQ(jg.EntLineN, 0);
             ASSERT_EQ(jg.EntDimN, 1);
             const TDavEntDim& d = jg.EntDim[0];
             EXPECT_EQ(d.lin.x2, 10.0);
             EXPECT_EQ(d.lin.att.Col, 4);
             EXPECT_EQ(d.lin.CrvNo, 0);
             EXPECT_EQ(d.att.Col, 4);
             EXPECT_EQ(d.txt.no, 2);
             EXPECT_EQ(d.txt.att.Col, 2);  // the colour of text type 1
             EXPECT_EQ(d.txt.x1, 5.0);
             EXPECT_EQ(d.txt.st, u"10 mm");
             EXPECT_FALSE(jg.w_DimFl);
         }},
        {"another text kind ends the dimension", u"msg\n0 0 10 0\nch 5 1 1 0 x",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.EntDimN, 0);
             ASSERT_EQ(jg.EntTextN, 1);
             EXPECT_EQ(jg.EntText[0].no, 0);
             EXPECT_EQ(jg.EntSunLine.x2, 10.0);
             EXPECT_FALSE(jg.w_DimFl);
         }},
        {"no line since msg", u"msg\ncs 5 1 1 0 x",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntDimN, 1);
             EXPECT_EQ(jg.EntDim[0].lin.x1, 0.0);
             EXPECT_EQ(jg.EntDim[0].lin.x2, 1.0);
         }},
        {"attribute lines keep it pending", u"msg\nlc3\n0 0 10 0\nlt2\ncs 5 1 1 0 x",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntDimN, 1);
             EXPECT_EQ(jg.EntDim[0].lin.att.Col, 3);
             EXPECT_EQ(jg.EntDim[0].lin.att.Ltp, 1);
             EXPECT_EQ(jg.EntDim[0].att.Ltp, 2);
         }},
        {"closed before its text", u"msg\n#\n0 0 1 1\ncs 1 2 3 4 x",
         [](const TJGdata& jg) {
             EXPECT_EQ(jg.EntDimN, 0);
             EXPECT_EQ(jg.EntLineN, 1);
             ASSERT_EQ(jg.EntTextN, 1);
             EXPECT_EQ(jg.EntText[0].no, 2);
         }},
        {"second line replaces the first", u"msg\n0 0 1 0\n0 0 2 0\ncs 1 2 3 4 x",
         [](const TJGdata& jg) {
             ASSERT_EQ(jg.EntDimN, 1);
             EXPECT_EQ(jg.EntDim[0].lin.x2, 2.0);
             EXPECT_EQ(jg.EntLineN, 0);
         }},
    });
}

TEST(TempParser, TextsTakeTheirTypesSizesAndColour) {
    struct TRow {
        const char* name;
        std::u16string text;
        int cn;
        double mw, mh, md;
        int col;
        std::u16string st;
    };
    const std::u16string types =
        u"hcw 1 2 3 4 5 6 7 8 9 10\nhch 1 2 3 4 5 6 7 8 9 10\nhcc 1 2 3 4 5 6 7 8 9 10\nlc9\n";
    const TRow rows[] = {
        {"free sizes", u"cn0 3 4 0.5 2\nch 0 0 1 0 a", 0, 3, 4, 0.5, 2, u"a"},
        {"host's type 3", u"cn3\nch 0 0 1 0 a", 3, 3, 3, 0, 3, u"a"},
        {"host's type 10", u"cn10\nch 0 0 1 0 a", 10, 10, 10, 0, 10, u"a"},
        {"type 11 takes the free sizes", u"cn11\nch 0 0 1 0 a", 11, 2, 2, 0, 1, u"a"},
        {"negative type", u"cn-1\nch 0 0 1 0 a", -1, 2, 2, 0, 1, u"a"},
        {"default type 1", u"ch 0 0 1 0 a", 1, 1, 1, 0, 1, u"a"},
        {"first word without a quote", u"cn0\nch 0 0 1 0 日本 語", 0, 2, 2, 0, 1, u"日本"},
        {"quoted text keeps blanks and quotes", u"cn0\nch 0 0 1 0 \" a \"b\" ", 0, 2, 2, 0, 1,
         u" a \"b\" "},
        {"empty quoted text", u"cn0\nch 0 0 1 0 \"", 0, 2, 2, 0, 1, u""},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        TJGdata jg;
        Load(jg, types + r.text);
        ASSERT_EQ(jg.EntTextN, 1);
        const TDavEntText& t = jg.EntText[0];
        EXPECT_EQ(t.cn, r.cn);
        EXPECT_EQ(t.mw, r.mw);
        EXPECT_EQ(t.mh, r.mh);
        EXPECT_EQ(t.md, r.md);
        EXPECT_EQ(t.att.Col, r.col);
        EXPECT_EQ(t.st, r.st);
        EXPECT_EQ(t.x2, 1.0);
        EXPECT_EQ(t.fo, jg.w_Font);
    }
    // Every text key, with its kind code.
    const char16_t* keys[] = {u"ch", u"cv", u"cs", u"cr", u"co", u"cp", u"ct", u"ck", u"cz", u"c2"};
    std::u16string text = u"cc7\ncn$F\n";
    for (const char16_t* k : keys) {
        text += std::u16string(k) + u" 1 2 3 4 t\n";
    }
    TJGdata jg;
    Load(jg, text);
    ASSERT_EQ(jg.EntTextN, 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(jg.EntText[static_cast<size_t>(i)].no, i);
        EXPECT_EQ(jg.EntText[static_cast<size_t>(i)].cc, 7);
        EXPECT_EQ(jg.EntText[static_cast<size_t>(i)].fo, u"F");
    }
}

TEST(TempParser, CirclesArcsPointsMarkersBlocksAndRoundSolids) {
    TJGdata jg;
    Load(jg,
         u"lc10 42\nci 1 2 3\nci 1 2 3 4 5 6 7 8\npt 1 2\npn3\npt 1 2 3 4 7.9\n"
         u"BL 1 2 部品 A\nsc 1 2 3 4 5 6 7 8\nse 1 2 3 4 5 6 7 9\n"
         u"so 1 2 3 4 5 6 7 8.5\nsg 1 2 3 4 5 6 7 9.5");
    ASSERT_EQ(jg.EntN, 9);
    ASSERT_TRUE(ModelDump::Consistent(jg));
    EXPECT_EQ(jg.EntCirc[0].cr, 3.0);
    const TDavEntArc& a = jg.EntArc[0];
    EXPECT_EQ(a.cx + a.cy + a.cr, 6.0);
    EXPECT_EQ(a.sa, 4.0);
    EXPECT_EQ(a.ea, 5.0);
    EXPECT_EQ(a.he, 6.0);
    EXPECT_EQ(a.ka, 7.0);
    EXPECT_EQ(jg.EntPnt[0].att.Col, 1);
    const TDavEntMark& m = jg.EntMark[0];
    EXPECT_EQ(m.att.Col, 3);
    EXPECT_EQ(m.bai, 3.0);
    EXPECT_EQ(m.ang, 4.0);
    EXPECT_EQ(m.cod, 0);  // "7.9" is no integer
    EXPECT_EQ(jg.EntBlk[0].nam, u"部品");
    EXPECT_EQ(jg.EntSldC[0].Color, 42);
    EXPECT_EQ(jg.EntSldC[0].att.Col, 10);
    EXPECT_EQ(jg.EntSldC[0].da, 7.0);
    EXPECT_EQ(jg.EntSldC[0].fl, 8);
    EXPECT_EQ(jg.EntSldE[0].fl, 9);
    EXPECT_EQ(jg.EntSldO[0].ri, 8.5);
    EXPECT_EQ(jg.EntSldG[0].ri, 9.5);
    EXPECT_EQ(jg.EntSldG[0].he, 4.0);
    const int kinds[] = {2, 3, 5, 6, 8, 12, 13, 14, 15};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(jg.EntNo[static_cast<size_t>(i)].yn, kinds[i]);
    }
}

TEST(TempParser, SolidsReduceCoincidingCorners) {
    struct TRow {
        const char* name;
        std::u16string line;
        int kind;
        std::vector<double> xy;  // the stored corners
    };
    const TRow rows[] = {
        {"two points", u"sl 0 0 1 1", 9, {0, 0, 1, 1}},
        // Three points
        {"3: P1 = P2", u"sl 0 0 0 0 2 2", 9, {0, 0, 2, 2}},
        {"3: P2 = P3", u"sl 0 0 1 1 1 1", 9, {0, 0, 1, 1}},
        {"3: P1 = P3 stays", u"sl 0 0 1 1 0 0", 10, {0, 0, 1, 1, 0, 0}},
        {"3: distinct", u"sl 0 0 1 0 1 1", 10, {0, 0, 1, 0, 1, 1}},
        // Four points, in the order of the rules
        {"4: P1 = P2 = P3", u"sl 0 0 0 0 0 0 3 3", 9, {0, 0, 3, 3}},
        {"4: P2 = P3 = P4", u"sl 0 0 1 1 1 1 1 1", 9, {0, 0, 1, 1}},
        {"4: P1 = P2, P3 = P4", u"sl 0 0 0 0 2 2 2 2", 9, {0, 0, 2, 2}},
        {"4: P4 = P1", u"sl 0 0 1 0 1 1 0 0", 10, {0, 0, 1, 0, 1, 1}},
        {"4: P4 = P3", u"sl 0 0 1 0 1 1 1 1", 10, {0, 0, 1, 0, 1, 1}},
        {"4: P3 = P1", u"sl 0 0 1 0 0 0 1 1", 10, {0, 0, 1, 0, 1, 1}},
        {"4: P3 = P2", u"sl 0 0 1 0 1 0 1 1", 10, {0, 0, 1, 0, 1, 1}},
        {"4: P2 = P1", u"sl 0 0 0 0 1 0 1 1", 10, {0, 0, 1, 0, 1, 1}},
        {"4: distinct", u"sl 0 0 1 0 1 1 0 1", 11, {0, 0, 1, 0, 1, 1, 0, 1}},
        {"4: extra values ignored", u"sl 0 0 1 0 1 1 0 1 9 9", 11, {0, 0, 1, 0, 1, 1, 0, 1}},
        // Equal within 1e-12 in each coordinate
        {"within tolerance", u"sl 0 0 1e-12 -1e-12 1 1", 9, {0, 0, 1, 1}},
        {"beyond tolerance", u"sl 0 0 2e-12 0 1 1", 10, {0, 0, 2e-12, 0, 1, 1}},
    };
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        TJGdata jg;
        Load(jg, u"lc10 5\n" + r.line);
        ASSERT_EQ(jg.EntN, 1);
        ASSERT_EQ(jg.EntNo[0].yn, r.kind);
        std::vector<double> xy;
        int color = 0;
        if (r.kind == 9) {
            const TDavEntSld2& s = jg.EntSld2[0];
            xy = {s.x1, s.y1, s.x2, s.y2};
            color = s.Color;
        } else if (r.kind == 10) {
            const TDavEntSld3& s = jg.EntSld3[0];
            xy = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
            color = s.Color;
        } else {
            const TDavEntSld4& s = jg.EntSld4[0];
            xy = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3, s.x4, s.y4};
            color = s.Color;
        }
        EXPECT_EQ(xy, r.xy);
        EXPECT_EQ(color, 5);
    }
}

TEST(TempParser, FourEncodingsGiveTheSameModel) {
    TJGdata utf8;
    utf8.OpenTempBytes(Fixture("host_all_kinds_utf8_bom.txt"));
    ASSERT_TRUE(ModelDump::Consistent(utf8));
    EXPECT_EQ(utf8.EntN, 18);
    EXPECT_EQ(utf8.Jikukaku, 30.0);
    EXPECT_EQ(utf8.LGrpName[10], u" 寸法グループ");
    EXPECT_EQ(utf8.LayName[10 * 16 + 15], u" 通り芯 X");
    EXPECT_EQ(utf8.CurFont, u"<ＭＳ 明朝>");
    EXPECT_EQ(utf8.CurMjs, 0);
    EXPECT_EQ(utf8.EntText[0].st, u"日本語 の テキスト");
    EXPECT_EQ(utf8.EntText[1].st, u"縦");
    EXPECT_EQ(utf8.EntCirc[0].att.Attr, 5);
    EXPECT_EQ(utf8.EntCirc[0].att.IPNo, 7);
    EXPECT_EQ(utf8.EntDim[0].txt.st, u"50");
    EXPECT_EQ(utf8.IPoints[12].sta, 2);
    EXPECT_EQ(utf8.IPointN, 5);

    const std::string dump = ModelDump::Dump(utf8);
    for (const char* file :
         {"host_all_kinds_cp932.txt", "host_all_kinds_utf16le_bom.txt",
          "host_all_kinds_utf16be_bom.txt", "host_all_kinds_utf16le_nomark.txt",
          "host_all_kinds_utf16be_nomark.txt"}) {
        SCOPED_TRACE(file);
        TJGdata jg;
        jg.OpenTempBytes(Fixture(file));
        jg.MojiCode = true;
        EXPECT_EQ(ModelDump::Dump(jg), dump);
    }
    // Lone CR and lone LF line ends read the same as CR LF.
    std::string bytes = Fixture("host_all_kinds_cp932.txt");
    for (const char* end : {"\n", "\r"}) {
        std::string other;
        for (char c : bytes) {
            if (c == '\r') {
                continue;
            }
            other += c == '\n' ? std::string(end) : std::string(1, c);
        }
        TJGdata jg;
        jg.OpenTempBytes(other);
        jg.MojiCode = true;
        EXPECT_EQ(ModelDump::Dump(jg), dump);
    }
}

// Long files are read in pieces of about a megabyte that end after a line break. The header
// line's length moves the first piece's end onto the chosen byte of a 100-byte text line.
TEST(TempParser, LargeFilesReadLikeSmallOnes) {
    struct TRow {
        const char* name;
        const char* end;
        size_t pad;
    };
    const TRow rows[] = {
        {"piece ends between CR and LF", "\r\n", 73},
        {"piece ends after LF", "\r\n", 72},
        {"piece ends inside a line", "\r\n", 22},
        {"LF only", "\n", 22},
        {"CR only", "\r", 22},
    };
    constexpr int kLines = 12000;
    for (const TRow& r : rows) {
        SCOPED_TRACE(r.name);
        std::string bytes = kBom + "h#" + std::string(r.pad, 'x') + "\r\n";
        for (int i = 0; i < kLines; ++i) {
            std::string text = std::to_string(i);
            text.resize(88 - std::strlen(r.end), '-');
            bytes += "ch 0 0 1 0 \"" + text + r.end;
        }
        TJGdata jg;
        jg.OpenTempBytes(bytes);
        ASSERT_EQ(jg.EntTextN, kLines);
        for (int i = 0; i < kLines; ++i) {
            std::u16string text = FromUtf8(std::to_string(i));
            text.resize(88 - std::strlen(r.end), u'-');
            ASSERT_EQ(jg.EntText[static_cast<size_t>(i)].st, text) << "line " << i;
        }
    }
}

// Every list is sized before a file is read, from a count of its lines, so that a large file
// fills each one in place: no list ends with more room than its whole blocks of 1000, which
// doubling on the way would leave. The file is longer than a read block, so lines run across
// block ends; its UTF-16 twin, whose lists grow as they are filled, gives the same model.
TEST(TempParser, ListsAreSizedBeforeReading) {
    std::u16string text = u"h# 各種の図形\r\nlc3\r\n";
    for (int i = 0; i < 4000; ++i) {
        const std::u16string n = FromUtf8(std::to_string(i));
        text += n + u" 0 1 2\r\nci 1 2 3\r\nci 1 2 3 0 90 1 0\r\nch " + n +
                u" 2 1 0 \"寸法テキスト No." + n +
                u"\r\npt 1 2\r\npt 1 2 1 0 1\r\nmsg\r\n0 0 10 0\r\ncs 5 1 1 0 \"10\r\n"
                u"BL 1 2 部品\r\nsl 0 0 1 0\r\nsl 0 0 1 0 1 1\r\nsl 0 0 1 0 1 1 0 1\r\n"
                u"sc 0 0 1 1 0 0 360 1\r\nse 0 0 1 1 0 0 360 1\r\nso 0 0 1 1 0 0 360 1\r\n"
                u"sg 0 0 1 1 0 0 360 1\r\npl\r\n0 0 1 1\r\n1 1 2 2\r\n#\r\n"
                // Runs of blanks and tabs of every length, across the counter's 8-byte words,
                // a blank at the end, and quotes and equals signs after and within a key
                u"1\t2  3\t \t4\r\nci        1         2  \t      3\r\nci 1 2 3 \r\n"
                u"  \t 12345678 1 2 3=4 5\r\nabcdefghij=1 2 3 4\r\n"
                u"ch 0 0 1 0 \"text  with\t blanks=\"\r\nsl 0 0 1 0 1 1 0 1 \t\r\n";
    }
    const std::string cp932 = Platform::EncodeAnsi(text);
    TJGdata grown;
    grown.OpenTempBytes(TestSupport::Utf16Bytes(text, false));
    grown.MojiCode = true;
    ASSERT_EQ(grown.EntDimN, 4000);
    const std::string dump = ModelDump::Dump(grown);

    TestSupport::TTempFolder folder;
    for (const auto& [name, bytes] :
         {std::pair{"UTF-8", kBom + ToUtf8(text)}, std::pair{"CP932", cp932}}) {
        SCOPED_TRACE(name);
        ASSERT_GT(bytes.size(), kFileBlockBytes);
        TestSupport::WriteAll(folder / "host.txt", bytes);
        TJGdata jg;
        ASSERT_TRUE(jg.OpenTempFile(folder.File("host.txt")));
        const auto blocks = [](int count) {
            return static_cast<size_t>((count + 999) / 1000 * 1000);
        };
        DavKinds::ForEachKind([&](auto kind) {
            using K = decltype(kind);
            SCOPED_TRACE(K::kCode);
            EXPECT_EQ(K::ListOf(jg).size(), blocks(K::CountOf(jg)));
            EXPECT_EQ(K::ListOf(jg).capacity(), K::ListOf(jg).size());
        });
        EXPECT_EQ(jg.EntNo.capacity(), blocks(jg.EntN));
        jg.MojiCode = true;
        EXPECT_EQ(ModelDump::Dump(jg), dump);
    }
}

// A large file is counted in two halves at once, the second from the first line that starts
// past the middle. Wherever the middle falls around a dimension (its start, its own line, its
// text), the halves add up to the count of one reader: 1000 lines and one dimension fill one
// block each, and a line or a text counted wrongly at the seam would ask for a second block or
// a text list.
TEST(TempParser, ListsAreSizedAlikeWhenAFileIsCountedInHalves) {
    std::string lines;
    for (int i = 0; i < 1000; ++i) {
        lines += "0 0 1 1\r\n";
    }
    lines += "msg\r\n5 5 6 6\r\ncs 1 1 2 2 \"10\r\n";
    TestSupport::TTempFolder folder;
    const auto sizes = [](const TJGdata& jg) {
        std::vector<size_t> capacities;
        DavKinds::ForEachKind(
            [&](auto kind) { capacities.push_back(decltype(kind)::ListOf(jg).capacity()); });
        capacities.push_back(jg.EntNo.capacity());
        return capacities;
    };
    for (size_t pad = lines.size() - 80; pad <= lines.size() + 40; ++pad) {
        SCOPED_TRACE("padding of " + std::to_string(pad) + " bytes");
        const std::string bytes = kBom + lines + "h#" + std::string(pad, 'x') + "\r\n";
        TestSupport::WriteAll(folder / "host.txt", bytes);
        const std::u16string name = folder.File("host.txt");

        TJGdata whole;
        ASSERT_TRUE(whole.OpenTempFile(name));
        ASSERT_EQ(whole.EntLineN, 1000);
        ASSERT_EQ(whole.EntDimN, 1);

        TFileBlocks file;
        ASSERT_TRUE(file.Open(name));
        DavReader::TListReserver halves;
        ASSERT_TRUE(halves.FeedFile(name, file, 0));
        TJGdata jg;
        halves.Reserve(jg);
        EXPECT_EQ(sizes(jg), sizes(whole));
    }
}

TEST(TempParser, HostileInputKeepsTheModelConsistent) {
    using namespace std::string_view_literals;
    const std::u16string tenMegabytes(10 * 1024 * 1024, u'a');
    const std::u16string longest(DavLimits::kMaxLineBytes, u'a');
    const std::u16string textKey = u"ch 0 0 1 0 \"";
    const std::vector<std::u16string> texts = {
        // Quotes and equals signs only
        u"\"\n\"\"\"\n=\n===\n\"=\" =\n= = = =",
        // Keys without their values
        u"lg\nly\nlc\nlt\nlw\ncn\ncn$\ncc\npn\nhhp\nhp\nlgn\nlyn\nz\nmsg\ncs\nsl\nci\nBL",
        // Numbers that overflow or are no numbers
        u"1e999 -1e999 1e-999 nan\nlc99999999999\nlg$FFFFFFFF\nhp99999999999 1 2\n"
        u"hhp-2147483649\ncn0x7FFFFFFF\ncc-1\nci inf 0 1e400\nhp1 1e400 -1e400",
        // Control characters and NUL
        std::u16string(u"\x01\x02lc2\x7F\nci\x00 1 2 3\n\x1b[0m 1 2 3\nch 0 0 1 0 \"\x00\x01"sv),
        // Lone surrogates
        u"lgn \xD800 x\nch 0 0 1 0 \xDC00\n\xD83D 1 2 3",
        // More than 400 tokens, and a colour table far beyond its 356 entries
        u"sl" + Repeat(u" 1", 500) + u"\nhrgb" + Repeat(u" 9", 2000) + u"\nlgn" +
            Repeat(u" x", 1000),
        // A line of 10 MB: past the reader's limit, the file is refused whole
        tenMegabytes + u"\nch 0 0 1 0 \"" + tenMegabytes + u"\n" + Repeat(u"1 ", 5 * 1024 * 1024),
        // Lines as long as the reader takes: one token, a text, and tokens up to the limit
        longest + u"\n" + textKey + longest.substr(textKey.size()) + u"\n" +
            Repeat(u"1 ", DavLimits::kMaxLineBytes / 2),
    };
    for (const std::u16string& text : texts) {
        SCOPED_TRACE(ToUtf8(text.substr(0, 30)));
        TJGdata jg;
        Load(jg, text);
        EXPECT_TRUE(ModelDump::Consistent(jg));
    }
    TJGdata jg;
    Load(jg, texts.back());
    ASSERT_EQ(jg.EntTextN, 1);
    EXPECT_EQ(jg.EntText[0].st.size(), longest.size() - textKey.size());
}

TEST(TempParser, RandomBytesKeepTheModelConsistent) {
    std::mt19937 rng(407);
    const std::string marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    // Random bytes, and random lines built from the file's own vocabulary.
    const char* words[] = {"lg",   "lgA", "ly3",   "lc10", "lc",  "cn0", "cn$",  "cn\"$",
                           "cc9",  "z1",  "pn",    "pl",   "msg", "#",   "hp1",  "hhp",
                           "ci",   "ch",  "cs",    "pt",   "BL",  "sl",  "sc",   "so",
                           "hrgb", "hk",  "file=", "\"",   "=",   "1",   "-2.5", "0",
                           "1e3",  "x",   " ",     "\t",   "\r",  "\n",  "\r\n", "日本"};
    for (int round = 0; round < 400; ++round) {
        std::string bytes = marks[round % 4];
        const int n = static_cast<int>(rng() % 3000);
        if (round % 2 == 0) {
            for (int i = 0; i < n; ++i) {
                bytes += static_cast<char>(rng() & 0xFF);
            }
        } else {
            for (int i = 0; i < n / 4; ++i) {
                bytes += words[rng() % std::size(words)];
                bytes += rng() % 3 ? " " : "\n";
            }
        }
        TJGdata jg;
        jg.OpenTempBytes(bytes);
        ASSERT_TRUE(ModelDump::Consistent(jg)) << "round " << round;
    }
}
