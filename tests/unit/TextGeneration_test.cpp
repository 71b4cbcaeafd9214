// The text placement on OK: angle notation, base point, offsets, size, fit mode and the whole
// command sequence sent to the writer.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/LogicSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using Lines = TestSupport::TLines;
using TestSupport::Sent;

// The buffer for the model's default host attributes: everything but the size, base point,
// font and text lines is fixed.
Lines Expected(std::u16string mjs, std::u16string mbs, std::u16string font, std::u16string text) {
    return {u"lg0", u"ly0", u"lc1", u"lt1", mjs, mbs, font, text};
}

constexpr char16_t kGothic[] = u"cn\"$<ＭＳ ゴシック>";
// "<>" hands the choice to the host's current font, which the default model leaves empty.
constexpr char16_t kHostFont[] = u"cn\"$";

TTextInput BaseInput() {
    TTextInput in;
    in.text = u"abc";
    in.angle = u"0";
    in.hostFont = u"ＭＳ ゴシック";
    return in;
}

using TestSupport::Boxes;

// The corrections a text generation hands back, in words.
std::u16string Corrections(const TTextResult& res) {
    std::u16string s = u"host type";
    if (res.row != 0) {
        s = u"row ";
        for (char c : std::to_string(res.row)) {
            s += static_cast<char16_t>(c);
        }
    }
    const auto add = [&s](const char16_t* name, const std::optional<std::u16string>& box) {
        if (box) {
            s += name;
            s += *box;
        }
    };
    add(u", width ", res.width);
    add(u", height ", res.height);
    add(u", spacing ", res.spacing);
    add(u", colour ", res.colour);
    if (res.selectFirstTextType) {
        s += u", first text type";
    }
    return s;
}

struct TRun {
    Lines lines;
    TTextResult res;
};

TRun Generate(const TTextInput& in, const std::function<void(TJGdata&)>& host = {}) {
    TJGdata jg;
    if (host) {
        host(jg);
    }
    jg.S_Init();
    TRun run;
    run.res = MakeText(in, jg);
    run.lines = Sent(jg);
    return run;
}

TEST(AngleText, DegreesMinutesSeconds) {
    struct Case {
        const char16_t* text;
        double expected;
    };
    // Minutes are added first, then degrees, then seconds; other orders differ in the last bit
    // for 1@@13@5.
    const Case cases[] = {
        // Plain numbers
        {u"45", 45.0},
        {u"-12.5", -12.5},
        {u"", 0.0},
        {u"abc", 0.0},
        // Degrees, minutes, seconds
        {u"30@@15@20", 15.0 / 60.0 + 30.0 + 20.0 / 3600.0},
        {u"30**15*20", 15.0 / 60.0 + 30.0 + 20.0 / 3600.0},
        {u"30**15@20", 15.0 / 60.0 + 30.0 + 20.0 / 3600.0},
        {u"-30@@15@20", -(15.0 / 60.0 + 30.0 + 20.0 / 3600.0)},
        {u"1@@13@5", 13.0 / 60.0 + 1.0 + 5.0 / 3600.0},
        // Missing parts
        {u"12@30", 12.0 / 60.0 + 30.0 / 3600.0},
        {u"30@@15", 30.0 + 15.0 / 3600.0},
        {u"30@@15@", 30.25},
        {u"30@@", 30.0},
        {u"@@@", 0.0},
        // Parts that are not numbers count as 0
        {u"x@@15@y", 0.25},
        {u"30@@15@20@5", 30.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle #" << (&c - cases));
        EXPECT_EQ(ParseAngleText(c.text), c.expected);
    }
}

TEST(TextPlacement, OffsetsAndAngle) {
    struct Case {
        const char* name;
        const char16_t* angle;
        bool mjiku;
        double jikukaku;
        const char16_t* text;
    };
    // Point (100, 100), base point 左下, lateral 5 in Edit4, vertical 2 in Edit3.
    const Case cases[] = {
        {"angle 0", u"0", true, 0.0, u"ch 95 98 10 0 \"abc"},
        {"angle 90", u"90", true, 0.0, u"ch 102 95 0 10 \"abc"},
        {"blanks in the angle", u" 9 0 ", true, 0.0, u"ch 102 95 0 10 \"abc"},
        {"axis angle added", u"60", true, 30.0, u"ch 102 95 0 10 \"abc"},
        {"axis angle ignored", u"90", false, 30.0, u"ch 102 95 0 10 \"abc"},
        {"minutes notation", u"89@@60@", false, 0.0, u"ch 102 95 0 10 \"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTextInput in = BaseInput();
        in.angle = c.angle;
        in.mjiku = c.mjiku;
        in.offsetsOn = true;
        in.offsets = {u"9", u"9", u"2", u"5", u"9", u"9"};
        in.mx1 = 100.0;
        in.my1 = 100.0;
        const TRun run = Generate(in, [&c](TJGdata& jg) { jg.Jikukaku = c.jikukaku; });
        EXPECT_EQ(run.lines, Expected(u"cn1", u"cc0", kGothic, c.text));
    }
}

TEST(TextPlacement, DirectionIsCutToTwelvePlaces) {
    TTextInput in = BaseInput();
    in.angle = u"45";
    TRun run = Generate(in, [](TJGdata& jg) { jg.Jikukaku = 30.0; });
    EXPECT_EQ(run.lines.back(), u"ch 0 0 2.588190451025 9.659258262891 \"abc");
    in.mjiku = false;
    run = Generate(in, [](TJGdata& jg) { jg.Jikukaku = 30.0; });
    EXPECT_EQ(run.lines.back(), u"ch 0 0 7.071067811865 7.071067811865 \"abc");
}

TEST(TextPlacement, BasePointPicksCodeAndOffsetBoxes) {
    struct Case {
        int option;
        const char16_t* mbs;
        const char16_t* text;
    };
    // Edit1..Edit3 hold the vertical offsets 1, 2, 3 (top to bottom), Edit4..Edit6 the lateral
    // ones 4, 5, 6 (left to right); at angle 0 the text lands at (-lateral, -vertical).
    const Case cases[] = {
        {0, u"cc6", u"ch -4 -1 10 0 \"abc"}, {1, u"cc3", u"ch -4 -2 10 0 \"abc"},
        {2, u"cc0", u"ch -4 -3 10 0 \"abc"}, {3, u"cc7", u"ch -5 -1 10 0 \"abc"},
        {4, u"cc4", u"ch -5 -2 10 0 \"abc"}, {5, u"cc1", u"ch -5 -3 10 0 \"abc"},
        {6, u"cc8", u"ch -6 -1 10 0 \"abc"}, {7, u"cc5", u"ch -6 -2 10 0 \"abc"},
        {8, u"cc2", u"ch -6 -3 10 0 \"abc"}, {-1, u"cc0", u"ch -4 -3 10 0 \"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option);
        TTextInput in = BaseInput();
        in.basePoint = c.option;
        in.offsetsOn = true;
        in.offsets = {u"1", u"2", u"3", u"4", u"5", u"6"};
        EXPECT_EQ(Generate(in).lines, Expected(u"cn1", c.mbs, kGothic, c.text));
    }
}

TEST(TextPlacement, OffsetsOffIgnoreTheBoxes) {
    TTextInput in = BaseInput();
    in.basePoint = 4;
    in.offsets = {u"1", u"2", u"3", u"4", u"5", u"6"};
    in.mx1 = 7.5;
    in.my1 = -2.0;
    EXPECT_EQ(Generate(in).lines, Expected(u"cn1", u"cc4", kGothic, u"ch 7.5 -2 10 0 \"abc"));
}

TEST(TextPlacement, OrientationPicksTheTextCommand) {
    struct Case {
        int option;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, u"ch 0 0 10 0 \"abc"}, {1, u"cv 0 0 10 0 \"abc"},  {2, u"cz 0 0 10 0 \"abc"},
        {3, u"c2 0 0 10 0 \"abc"}, {-1, u"ch 0 0 10 0 \"abc"}, {7, u"ch 0 0 10 0 \"abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "option " << c.option);
        TTextInput in = BaseInput();
        in.orientation = c.option;
        EXPECT_EQ(Generate(in).lines, Expected(u"cn1", u"cc0", kGothic, c.text));
    }
}

TEST(TextPlacement, HostAttributesInOrderWithSheetUnitsFirst) {
    TTextInput in = BaseInput();
    in.text = u" a  b ";
    const TRun run = Generate(in, [](TJGdata& jg) {
        jg.Zusun = true;
        jg.CurLGrp = 3;
        jg.CurLay = 10;
        jg.CurCol = 5;
        jg.CurLtp = 2;
        jg.WidF = true;
        jg.CurWid = 4;
    });
    const Lines expected = {u"bz",  u"lg3", u"lyA", u"lc5",  u"lt2",
                            u"lw4", u"cn1", u"cc0", kGothic, u"ch 0 0 10 0 \" a  b "};
    EXPECT_EQ(run.lines, expected);
}

TEST(TextSize, HostTypesPresetRowsAndFonts) {
    struct Case {
        const char* name;
        std::function<void(TTextInput&, TJGdata&)> set;
        const char16_t* mjs;
        const char16_t* font;
        const char16_t* corrections;
    };
    const auto row = [](TTextInput& in, int r) -> TPresetRow& {
        in.hostType = false;
        TPresetRow& p = in.rows[static_cast<size_t>(r - 1)];
        p.checked = true;
        return p;
    };
    const Case cases[] = {
        // The host's text types
        {"current type", [](TTextInput&, TJGdata&) {}, u"cn1", kGothic, u"host type"},
        {"current type 4", [](TTextInput&, TJGdata& jg) { jg.CurMjs = 4; }, u"cn4", kGothic,
         u"host type"},
        {"type 3 chosen", [](TTextInput& in, TJGdata&) { in.textType = 3; }, u"cn3", kGothic,
         u"host type"},
        {"free current type",
         [](TTextInput&, TJGdata& jg) {
             jg.CurMjs = 0;
             jg.CurMjsW = 2.5;
             jg.CurMjsH = 2.5;
             jg.CurMjsD = 0.5;
             jg.CurMjsC = 1;
         },
         u"cn0 2.5 2.5 0.5 1", kGothic, u"host type"},
        {"current type out of the table",
         [](TTextInput&, TJGdata& jg) {
             jg.CurMjs = 11;
             jg.CurMjsW = 4;
             jg.CurMjsH = 5;
             jg.CurMjsC = 3;
         },
         u"cn0 4 5 0 3", kGothic, u"host type"},
        {"nothing selected", [](TTextInput& in, TJGdata&) { in.textType = -1; }, u"cn1", kGothic,
         u"host type, first text type"},
        {"host font italic and bold",
         [](TTextInput& in, TJGdata&) {
             in.hostFont = u"Noto Sans";
             in.italic = true;
             in.bold = true;
         },
         u"cn1", u"cn\"$<Noto Sans>/!", u"host type"},
        {"no host font, bold",
         [](TTextInput& in, TJGdata&) {
             in.hostFont.clear();
             in.bold = true;
         },
         u"cn1", u"cn\"$<>!", u"host type"},
        {"no host font falls back to the host's",
         [](TTextInput& in, TJGdata& jg) {
             in.hostFont.clear();
             jg.CurFont = u"<IPAGothic>";
         },
         u"cn1", u"cn\"$<IPAGothic>", u"host type"},
        // Preset rows
        {"row 4",
         [&row](TTextInput& in, TJGdata&) {
             TPresetRow& p = row(in, 4);
             p.width = u"2.5";
             p.height = u"4";
             p.spacing = u"-0.5";
             p.colour = u"101";
             p.fontName = u"IPAMincho";
             p.italic = true;
         },
         u"cn0 2.5 4 -0.5 101", u"cn\"$<IPAMincho>/", u"row 4"},
        {"no row checked uses row 1",
         [](TTextInput& in, TJGdata&) {
             in.hostType = false;
             in.rows[0].width = u"7";
             in.rows[1].width = u"8";
         },
         u"cn0 7 3 0 2", kHostFont, u"row 1"},
        {"first checked row wins",
         [&row](TTextInput& in, TJGdata&) {
             row(in, 9).width = u"9";
             row(in, 12).width = u"12";
         },
         u"cn0 9 3 0 2", kHostFont, u"row 9"},
        {"bounds accepted",
         [&row](TTextInput& in, TJGdata&) {
             TPresetRow& p = row(in, 2);
             p.width = u"0.1";
             p.height = u"500";
             p.spacing = u"-100";
             p.colour = u"356";
         },
         u"cn0 0.1 500 -100 356", kHostFont, u"row 2"},
        {"bounds accepted 2",
         [&row](TTextInput& in, TJGdata&) {
             TPresetRow& p = row(in, 2);
             p.spacing = u"500";
             p.colour = u"9";
         },
         u"cn0 3 3 500 9", kHostFont, u"row 2"},
        {"out of range replaced",
         [&row](TTextInput& in, TJGdata&) {
             TPresetRow& p = row(in, 15);
             p.width = u"600";
             p.height = u"0.09";
             p.spacing = u"600";
             p.colour = u"100";
         },
         u"cn0 3 3 0 2", kHostFont, u"row 15, width 3.0, height 3.0, spacing 0.0, colour 2"},
        {"not numbers replaced",
         [&row](TTextInput& in, TJGdata&) {
             TPresetRow& p = row(in, 3);
             p.width = u"abc";
             p.spacing = u"-101";
             p.colour = u"357";
         },
         u"cn0 3 3 0 2", kHostFont, u"row 3, width 3.0, spacing 0.0, colour 2"},
        {"colour 10", [&row](TTextInput& in, TJGdata&) { row(in, 1).colour = u"10"; },
         u"cn0 3 3 0 2", kHostFont, u"row 1, colour 2"},
        {"colour 0", [&row](TTextInput& in, TJGdata&) { row(in, 1).colour = u"0"; }, u"cn0 3 3 0 2",
         kHostFont, u"row 1, colour 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTextInput in = BaseInput();
        TJGdata jg;
        c.set(in, jg);
        jg.S_Init();
        const TTextResult res = MakeText(in, jg);
        EXPECT_EQ(Sent(jg), Expected(c.mjs, u"cc0", c.font, u"ch 0 0 10 0 \"abc"));
        EXPECT_EQ(Corrections(res), c.corrections);
    }
}

TEST(FitMode, ScalesTheTextBetweenThePoints) {
    struct Case {
        const char* name;
        double x1, y1, x2, y2;
        int basePoint;
        bool hostType;
        const char16_t* spacing;
        const char16_t* mjs;
        const char16_t* mbs;
        const char16_t* text;
    };
    // "あいうえ" is 20 long at width 5 and spacing 0 (row 1), 12 long with the host's type 3.
    const Case cases[] = {
        {"base left", 0, 0, 100, 0, 2, false, u"0", u"cn0 25 25 0 2", u"cc0",
         u"ch 0 0 10 0 \"あいうえ"},
        {"base centre", 0, 0, 100, 0, 4, false, u"0", u"cn0 25 25 0 2", u"cc4",
         u"ch 50 0 10 0 \"あいうえ"},
        {"base right", 0, 0, 100, 0, 8, false, u"0", u"cn0 25 25 0 2", u"cc2",
         u"ch 100 0 10 0 \"あいうえ"},
        {"host type becomes free", 0, 0, 0, 60, 2, true, u"0", u"cn0 15 15 0 2", u"cc0",
         u"ch 0 0 0 10 \"あいうえ"},
        {"spacing scaled too", 0, 0, 48, 0, 2, false, u"1", u"cn0 10 10 2 2", u"cc0",
         u"ch 0 0 10 0 \"あいうえ"},
        // No usable factor: the text keeps the size chosen in the dialog
        {"coinciding points", 10, 10, 10, 10, 2, false, u"0", u"cn0 5 5 0 2", u"cc0",
         u"ch 10 10 10 0 \"あいうえ"},
        {"coinciding points, host type", 10, 10, 10, 10, 2, true, u"0", u"cn3", u"cc0",
         u"ch 10 10 10 0 \"あいうえ"},
        {"length zero", 0, 0, 100, 0, 2, false, u"-5", u"cn0 5 5 -5 2", u"cc0",
         u"ch 0 0 10 0 \"あいうえ"},
        {"length negative", 0, 0, 100, 0, 2, false, u"-10", u"cn0 5 5 -10 2", u"cc0",
         u"ch 0 0 10 0 \"あいうえ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTextInput in = BaseInput();
        in.text = u"あいうえ";
        in.hostFont.clear();
        in.mfit = true;
        in.mjiku = false;
        in.mx1 = c.x1;
        in.my1 = c.y1;
        in.mx2 = c.x2;
        in.my2 = c.y2;
        in.angle = c.y2 > c.y1 ? u"90" : u"0";
        in.basePoint = c.basePoint;
        in.hostType = c.hostType;
        in.textType = 3;
        in.rows[0] = Boxes(u"5", u"5", c.spacing, u"2");
        const TRun run = Generate(in);
        EXPECT_EQ(run.lines, Expected(c.mjs, c.mbs, kHostFont, c.text));
    }
}

TEST(FitMode, OffsetsTurnWithTheText) {
    TTextInput in = BaseInput();
    in.text = u"あいうえ";
    in.mfit = true;
    in.mjiku = false;
    in.mx2 = 100.0;
    in.basePoint = 4;
    in.offsetsOn = true;
    in.offsets = {u"0", u"1", u"0", u"0", u"5", u"0"};
    in.hostType = false;
    in.rows[0] = Boxes(u"5", u"5", u"0", u"2");
    EXPECT_EQ(Generate(in).lines,
              Expected(u"cn0 25 25 0 2", u"cc4", kHostFont, u"ch 45 -1 10 0 \"あいうえ"));
}

}  // namespace
