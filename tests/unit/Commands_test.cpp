// Attribute, text and dimension commands: the exact lines they send and when they stay quiet.
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavCommandLine.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/Platform.h"

namespace {

using Lines = TestSupport::TLines;
using TestSupport::Sent;

// Each row: calls on a freshly reset writer and every line they must send.
const auto RunCases = TestSupport::RunCommandCases;

TEST(AttrCommands, LayerGroupAndLayer) {
    RunCases({
        // Force flags and change tracking
        {"first group is forced, repeat is quiet",
         [](TJGdata& j) {
             j.S_LGrp(0);
             j.S_LGrp(0);
         },
         {u"lg0"}},
        {"first layer is forced, repeat is quiet",
         [](TJGdata& j) {
             j.S_Lay(0);
             j.S_Lay(0);
         },
         {u"ly0"}},
        {"a new group forces the layer again",
         [](TJGdata& j) {
             j.S_LGrp(3);
             j.S_Lay(2);
             j.S_LGrp(4);
             j.S_Lay(2);
         },
         {u"lg3", u"ly2", u"lg4", u"ly2"}},
        {"an unchanged group leaves the layer quiet",
         [](TJGdata& j) {
             j.S_LGrp(3);
             j.S_Lay(2);
             j.S_LGrp(3);
             j.S_Lay(2);
         },
         {u"lg3", u"ly2"}},
        // Hexadecimal
        {"upper-case hexadecimal",
         [](TJGdata& j) {
             j.S_LGrp(10);
             j.S_Lay(15);
             j.S_LGrp(26);
         },
         {u"lgA", u"lyF", u"lg1A"}},
        {"negative numbers as their 32-bit pattern",
         [](TJGdata& j) {
             j.S_LGrp(-1);
             j.S_Lay(INT_MIN);
         },
         {u"lgFFFFFFFF", u"ly80000000"}},
    });
}

TEST(AttrCommands, ColourLineTypeAndPointColour) {
    RunCases({
        // Caller's numbering
        {"colour mapping with the host's colour as fallback",
         [](TJGdata& j) {
             j.CurCol = 5;
             j.S_Col(0, 1);
             j.S_Col(12, 1);
             j.S_Col(0, 0);
             j.S_Col(9, 1);
             j.S_Col(10, 1);
             j.S_Col(-4, 1);
         },
         {u"lc5", u"lc103", u"lc0", u"lc9", u"lc101", u"lc5"}},
        {"line-type mapping at its boundaries",
         [](TJGdata& j) {
             j.CurLtp = 2;
             j.S_Ltp(-3, 1);
             j.S_Ltp(9, 1);
             j.S_Ltp(10, 1);
             j.S_Ltp(15, 1);
             j.S_Ltp(18, 1);
             j.S_Ltp(19, 1);
             j.S_Ltp(20, 1);
         },
         {u"lt2", u"lt9", u"lt11", u"lt16", u"lt19", u"lt31", u"lt32"}},
        {"host codes pass unchanged",
         [](TJGdata& j) {
             j.S_Col(356, 0);
             j.S_Ltp(-7, 0);
             j.S_PCol(12, 0);
         },
         {u"lc356", u"lt-7", u"pn12"}},
        {"mapped codes never overflow",
         [](TJGdata& j) {
             j.S_Col(INT_MAX - 10, 1);
             j.S_Ltp(INT_MAX, 1);
         },
         {u"lc2147483647", u"lt2147483647"}},
        // Change tracking, compared after the mapping
        {"the first call is forced even at the remembered value",
         [](TJGdata& j) {
             j.S_Col(1, 0);
             j.S_Ltp(1, 0);
             j.S_PCol(1, 0);
         },
         {u"lc1", u"lt1", u"pn1"}},
        {"an equal mapped value stays quiet",
         [](TJGdata& j) {
             j.S_Col(12, 1);
             j.S_Col(103, 0);
             j.S_Ltp(19, 1);
             j.S_Ltp(31, 0);
             j.S_PCol(11, 1);
             j.S_PCol(102, 0);
             j.S_PCol(3, 1);
         },
         {u"lc103", u"lt31", u"pn102", u"pn3"}},
    });
}

TEST(AttrCommands, ColourAndSolidColourCoupling) {
    RunCases({
        {"a colour between two equal solid colours sends both again",
         [](TJGdata& j) {
             j.S_Col(3, 0);
             j.S_SCol(5);
             j.S_Col(3, 0);
             j.S_SCol(5);
         },
         {u"lc3", u"lc10 5", u"lc3", u"lc10 5"}},
        {"a solid colour makes 10 the remembered colour",
         [](TJGdata& j) {
             j.S_SCol(5);
             j.S_SCol(5);
             j.S_Col(10, 0);
         },
         {u"lc10 5"}},
        {"solid colours outside 24 bits become 0",
         [](TJGdata& j) {
             j.S_SCol(16777215);
             j.S_SCol(16777216);
             j.S_SCol(7);
             j.S_SCol(-1);
         },
         {u"lc10 16777215", u"lc10 0", u"lc10 7", u"lc10 0"}},
        {"packed components, out-of-range ones as 0",
         [](TJGdata& j) {
             j.S_SColRGB(255, 0, 0);
             j.S_SColRGB(0, 0, 255);
             j.S_SColRGB(1, 2, 3);
             j.S_SColRGB(300, 0, -1);
         },
         {u"lc10 255", u"lc10 16711680", u"lc10 197121", u"lc10 0"}},
        {"packed solid colour leaves the colour alone",
         [](TJGdata& j) {
             j.S_Col(3, 0);
             j.S_SColRGB(1, 2, 3);
             j.S_Col(3, 0);
             j.S_SColRGB(1, 2, 3);
             j.S_SCol(197121);
         },
         {u"lc3", u"lc10 197121", u"lc10 197121"}},
        {"a colour line clears the solid colour's force flag",
         [](TJGdata& j) {
             j.S_Col(3, 0);
             j.S_SColRGB(0, 0, 0);
         },
         {u"lc3"}},
        {"without a colour line the packed solid colour is forced",
         [](TJGdata& j) { j.S_SColRGB(0, 0, 0); },
         {u"lc10 0"}},
    });
}

TEST(AttrCommands, WidthOnlyForHostsThatSendWidths) {
    RunCases({
        {"without widths from the host nothing is written",
         [](TJGdata& j) {
             j.S_Wid(5);
             j.S_Wid(-1);
         },
         {}},
        {"range and the host's width",
         [](TJGdata& j) {
             j.WidF = true;
             j.CurWid = 7;
             j.S_Wid(40000);
             j.S_Wid(-1);
             j.S_Wid(-2);
             j.S_Wid(30000);
         },
         {u"lw0", u"lw7", u"lw0", u"lw30000"}},
        {"forced once, then only on change",
         [](TJGdata& j) {
             j.WidF = true;
             j.S_Wid(0);
             j.S_Wid(0);
             j.S_Wid(5);
             j.S_Wid(5);
         },
         {u"lw0", u"lw5"}},
    });

    // A call that writes nothing changes no state: the first width after WidF is forced.
    TJGdata jg;
    jg.S_Init();
    jg.S_Wid(5);
    EXPECT_TRUE(jg.w_FlgWid);
    EXPECT_EQ(jg.w_Wid, 0);
}

TEST(AttrCommands, TextTypeAndFreeSizes) {
    RunCases({
        {"host's text type, then a free size, then only changes",
         [](TJGdata& j) {
             j.S_Mjs(3, 0, 0, 0, 0, 0);
             j.S_Mjs(0, 2.5, 2.5, 0, 2, 0);
             j.S_Mjs(0, 2.5, 2.5, 0, 2, 0);
             j.S_Mjs(0, 2.5, 3, 0, 2, 0);
             j.S_Mjs(0, 2.5, 3, 0.25, 2, 0);
             j.S_Mjs(0, 2.5, 3, 0.25, 4, 0);
         },
         {u"cn3", u"cn0 2.5 2.5 0 2", u"cn0 2.5 3 0 2", u"cn0 2.5 3 0.25 2", u"cn0 2.5 3 0.25 4"}},
        {"sizes do not matter for the host's types",
         [](TJGdata& j) {
             j.S_Mjs(3, 1, 1, 1, 1, 0);
             j.S_Mjs(3, 9, 9, 9, 9, 0);
         },
         {u"cn3"}},
        {"out of range takes the host's free size, mapped colour included",
         [](TJGdata& j) {
             j.CurMjs = 0;
             j.CurMjsW = 4;
             j.CurMjsH = 4;
             j.CurMjsD = 0.5;
             j.CurMjsC = 3;
             j.S_Mjs(11, 1, 1, 1, 12, 1);
         },
         {u"cn0 4 4 0.5 3"}},
        {"out of range takes the host's type number unchecked",
         [](TJGdata& j) {
             j.CurMjs = 12;
             j.S_Mjs(-1, 1, 1, 1, 1, 0);
         },
         {u"cn12"}},
        {"free colour in the caller's numbering",
         [](TJGdata& j) {
             j.CurCol = 6;
             j.S_Mjs(0, 2, 2, 0, 12, 1);
             j.S_Mjs(0, 2, 2, 0, 0, 1);
         },
         {u"cn0 2 2 0 103", u"cn0 2 2 0 6"}},
        {"the free size is remembered only when it is written",
         [](TJGdata& j) {
             j.S_Mjs(3, 5, 5, 5, 5, 0);
             j.S_Mjs(0, 2, 2, 0, 1, 0);
             j.S_Mjs(0, 2, 2, 0, 1, 0);
         },
         {u"cn3", u"cn0 2 2 0 1"}},
    });
}

TEST(AttrCommands, BasePoint) {
    RunCases({
        {"out of range is 0, forced first",
         [](TJGdata& j) {
             j.S_Mbs(9);
             j.S_Mbs(0);
             j.S_Mbs(8);
             j.S_Mbs(-1);
         },
         {u"cc0", u"cc8", u"cc0"}},
    });
}

TEST(AttrCommands, Font) {
    RunCases({
        {"\"<>\" is the host's font, forced once",
         [](TJGdata& j) {
             j.CurFont = u"<ＭＳ ゴシック>";
             j.S_Font(u"<>");
             j.S_Font(u"<>");
             j.S_Font(u"<ＭＳ ゴシック>");
         },
         {u"cn\"$<ＭＳ ゴシック>"}},
        {"the empty font is the host's font",
         [](TJGdata& j) {
             j.CurFont = u"<Arial>B";
             j.S_Font(u"");
         },
         {u"cn\"$<Arial>B"}},
        {"case-sensitive comparison, blanks kept",
         [](TJGdata& j) {
             j.S_Font(u"<A>");
             j.S_Font(u"<a>");
             j.S_Font(u"<a> ");
         },
         {u"cn\"$<A>", u"cn\"$<a>", u"cn\"$<a> "}},
        // A line break would split the command: it is written and remembered as a blank.
        {"line breaks become blanks, and the blanks are what is remembered",
         [](TJGdata& j) {
             j.S_Font(u"<A\r\nB>");
             j.S_Font(u"<A  B>");
             j.S_Font(u"<A\r\nB>");
             j.S_Font(u"<A\nB>");
         },
         {u"cn\"$<A  B>", u"cn\"$<A B>"}},
    });

    TJGdata jg;
    jg.S_Init();
    jg.S_Font(u"<A\rB>");
    EXPECT_EQ(jg.w_Font, u"<A B>");
}

TEST(AttrCommands, AttributeMarks) {
    RunCases({
        {"bits, with bit 16 standing for bit 8",
         [](TJGdata& j) {
             j.S_Attr(1 + 4 + 8 + 16);
             j.S_Attr(8);
             j.S_Attr(0);
             j.S_Attr(2 + 32 + 64);
         },
         {u"z1", u"z3", u"z5", u"z4", u"z2"}},
        {"nothing is remembered",
         [](TJGdata& j) {
             j.S_Attr(2);
             j.S_Attr(2);
         },
         {u"z2", u"z2"}},
        {"Boolean arguments",
         [](TJGdata& j) {
             j.S_Attr(false, true, false, true, false);
             j.S_Attr(true, true, true, true, true);
         },
         {u"z2", u"z4", u"z1", u"z2", u"z3", u"z5"}},
        {"Integer arguments, any non-zero value set",
         [](TJGdata& j) {
             j.S_Attr(1, 0, 7, -1, 0);
             j.S_Attr(0, 0, 0, 0, 0);
             j.S_Attr(0, 0, 0, 3, 2);
         },
         {u"z1", u"z3", u"z4", u"z5"}},
    });
}

TEST(AttrCommands, InitForcesEveryCommandAgain) {
    TJGdata jg;
    jg.S_Init();
    jg.WidF = true;
    const auto sendAll = [&jg] {
        jg.S_LGrp(0);
        jg.S_Lay(0);
        jg.S_Col(1, 0);
        jg.S_Ltp(1, 0);
        jg.S_Wid(0);
        jg.S_Mjs(1, 0, 0, 0, 0, 0);
        jg.S_Mbs(0);
        jg.S_Font(u"<ＭＳ ゴシック>");
        jg.S_PCol(1, 0);
    };
    const Lines all = {
        u"lg0", u"ly0", u"lc1", u"lt1", u"lw0", u"cn1", u"cc0", u"cn\"$<ＭＳ ゴシック>", u"pn1"};
    sendAll();
    EXPECT_EQ(Sent(jg), all);
    sendAll();
    EXPECT_EQ(jg.t_MemN, static_cast<int>(all.size()));
    jg.S_Init();
    sendAll();
    Lines twice = all;
    twice.insert(twice.end(), all.begin(), all.end());
    EXPECT_EQ(Sent(jg), twice);
}

TEST(GeneralCommands, CommentAndArea) {
    RunCases({
        {"comment, empty comment",
         [](TJGdata& j) {
             j.S_Comment(u"abc");
             j.S_Comment(u"");
         },
         {u"h#abc", u"h#"}},
        {"line breaks in a comment become blanks",
         [](TJGdata& j) { j.S_Comment(u"a\rb\nc\r\n"); },
         {u"h#a b c  "}},
        {"area, written on every call",
         [](TJGdata& j) {
             j.AreaX2 = 420;
             j.AreaY2 = 297;
             j.S_Area();
             j.AreaX1 = -12.5;
             j.AreaY1 = 0.001;
             j.AreaX2 = 1e15;
             j.AreaY2 = 3;
             j.S_Area();
             j.S_Area();
         },
         {u"hn 0 0 420 297", u"hn -12.5 0.001 1E15 3", u"hn -12.5 0.001 1E15 3"}},
    });
}

// A line started while another is being built gets a buffer of its own; neither overwrites
// the other, and the shared buffer serves again once both are done.
TEST(CommandLine, LinesBuiltAtOnceKeepTheirText) {
    using DavCommandLine::MakeLine;
    using DavCommandLine::TLineBuffer;
    std::u16string inner;
    {
        TLineBuffer outer(u"ab");
        outer.Text() += u" 1";
        inner = MakeLine(u"cd", 2, 2.5);
        TLineBuffer second(u"ef");
        second.Text() += u" 4";
        outer.Text() += u" 3";
        EXPECT_EQ(outer.Line(), u"ab 1 3");
        EXPECT_EQ(second.Line(), u"ef 4");
    }
    EXPECT_EQ(inner, u"cd 2 2.5");
    EXPECT_EQ(MakeLine(u"gh", 5), u"gh 5");
}

TEST(GeneralCommands, RealsUseTheRegionalSeparator) {
    Platform::SetDecimalSeparator(u',');
    TJGdata jg;
    jg.S_Init();
    jg.AreaX1 = -12.5;
    jg.S_Area();
    jg.S_Mjs(0, 2.5, 3, 0, 2, 0);
    EXPECT_EQ(Sent(jg), (Lines{u"hn -12,5 0 0 0", u"cn0 2,5 3 0 2"}));
}

TEST(TextCommands, TextLines) {
    RunCases({
        {"horizontal text",
         [](TJGdata& j) { j.S_Text(0, 100, 50, 10, 0, u"AB"); },
         {u"ch 100 50 10 0 \"AB"}},
        {"every kind, others horizontal",
         [](TJGdata& j) {
             for (int no : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, -1}) {
                 j.S_Text(no, 0, 0, 0, -10, u"x");
             }
         },
         {u"cv 0 0 0 -10 \"x", u"cs 0 0 0 -10 \"x", u"cr 0 0 0 -10 \"x", u"co 0 0 0 -10 \"x",
          u"cp 0 0 0 -10 \"x", u"ct 0 0 0 -10 \"x", u"ck 0 0 0 -10 \"x", u"cz 0 0 0 -10 \"x",
          u"c2 0 0 0 -10 \"x", u"ch 0 0 0 -10 \"x", u"ch 0 0 0 -10 \"x", u"ch 0 0 0 -10 \"x"}},
        {"the text runs to the end of the line, blanks and quotes kept",
         [](TJGdata& j) {
             j.S_Text(0, -1.5, 2.25, 7, 7, u" A ");
             j.S_Text(0, 0, 0, 1, 0, u"say \"hi\"");
         },
         {u"ch -1.5 2.25 7 7 \" A ", u"ch 0 0 1 0 \"say \"hi\""}},
        // Degenerate
        {"no direction",
         [](TJGdata& j) {
             j.S_Text(0, 0, 0, 1e-11, 0, u"A");
             j.S_Text(0, 0, 0, 1e-10, -1e-10, u"A");
             j.S_Text(0, 0, 0, 0, 2e-10, u"A");
         },
         {u"ch 0 0 0 2E-10 \"A"}},
        {"blank texts",
         [](TJGdata& j) {
             j.S_Text(0, 0, 0, 10, 0, u"");
             j.S_Text(0, 0, 0, 10, 0, u"\u3000 ");
             j.S_Text(0, 0, 0, 10, 0, u"\t\r\n");
         },
         {}},
        // A line break would hand the rest of the text to the host as a command.
        {"line breaks become blanks",
         [](TJGdata& j) {
             j.S_Text(0, 0, 0, 10, 0, u"A\r\nB");
             j.S_Text(1, 0, 0, 10, 0, u"\nlc5");
         },
         {u"ch 0 0 10 0 \"A  B", u"cv 0 0 10 0 \" lc5"}},
    });
}

TEST(TextCommands, VeryLongTextIsWrittenWhole) {
    TJGdata jg;
    jg.S_Init();
    const std::u16string text(200000, u'字');
    jg.S_Text(0, 1, 2, 10, 0, text);
    jg.S_Text(0, 1, 2, 10, 0, u"B");
    ASSERT_EQ(jg.t_MemN, 2);
    EXPECT_EQ(jg.t_Mem[0], u"ch 1 2 10 0 \"" + text);
    EXPECT_EQ(jg.t_Mem[1], u"ch 1 2 10 0 \"B");
}

TEST(TextCommands, Dimensions) {
    RunCases({
        {"measured length for an empty text",
         [](TJGdata& j) { j.S_Dim(0, 0, 25.4, 0, 10, 2, 10, 0, u""); },
         {u"msg", u"0 0 25.4 0", u"cs 10 2 10 0 \"25.4"}},
        {"measured length to ten places, for a blank text too",
         [](TJGdata& j) {
             j.S_Dim(0, 0, 1, 1, 0, 0, 1, 0, u" \u3000");
             j.S_Dim(-3, -4, 0, 0, 0, 0, 1, 0, u"");
             j.S_Dim(0, 0, 0, 2e-10, 0, 0, 1, 0, u"");
         },
         {u"msg", u"0 0 1 1", u"cs 0 0 1 0 \"1.4142135624", u"msg", u"-3 -4 0 0", u"cs 0 0 1 0 \"5",
          u"msg", u"0 0 0 2E-10", u"cs 0 0 1 0 \"2E-10"}},
        {"a typed text wins over the length",
         [](TJGdata& j) { j.S_Dim(0, 0, 1, 1, 5, 5, 0, 10, u" 12"); },
         {u"msg", u"0 0 1 1", u"cs 5 5 0 10 \" 12"}},
        // Degenerate
        {"no line or no direction sends nothing, not even msg",
         [](TJGdata& j) {
             j.S_Dim(3, 3, 3, 3, 0, 0, 1, 0, u"x");
             j.S_Dim(0, 0, 5e-11, -5e-11, 0, 0, 1, 0, u"x");
             j.S_Dim(0, 0, 1, 0, 0, 0, 1e-10, 0, u"x");
         },
         {}},
        {"line breaks in the text become blanks",
         [](TJGdata& j) { j.S_Dim(0, 0, 1, 0, 0, 0, 1, 0, u"1\r2"); },
         {u"msg", u"0 0 1 0", u"cs 0 0 1 0 \"1 2"}},
    });
}

}  // namespace
