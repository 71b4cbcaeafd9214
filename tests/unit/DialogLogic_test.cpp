// The dialog's small rules: the angle on OK, the text-type list and summaries, the font filter
// and the drop-down histories; what OK makes of the dialog's state.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/LogicSupport.h"
#include "tests/support/TestSupport.h"
#include "util/MyFunc.h"
#include "util/Utf8.h"

namespace {

using Lines = std::vector<std::u16string>;

using TestSupport::Boxes;

TEST(OkAngle, NormalisedAsOkLeavesIt) {
    struct Case {
        const char16_t* typed;
        const char16_t* expected;
    };
    const Case cases[] = {
        // Blank
        {u"", u"0"},
        {u" \u3000\t", u"0"},
        // Plain numbers in their shortest form
        {u"45.50", u"45.5"},
        {u"-090", u"-90"},
        {u"  30", u"30"},
        {u"1e2", u"100"},
        // Blanks around or inside the number are ignored, as the text generation ignores them
        {u"30 ", u"30"},
        {u"3 0\u3000", u"30"},
        // Not a number
        {u"abc", u"0"},
        {u"\uFF13\uFF10", u"0"},
        // Degree notation stays as typed
        {u"30@@15@20", u"30@@15@20"},
        {u" 30**15 ", u" 30**15 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(NormaliseAngle(c.typed), c.expected);
    }
}

TEST(TextTypeList, CurrentTypeThenTenTypes) {
    TJGdata jg;
    jg.CurMjs = 5;
    const Lines expected = {u"現在の文字種(No5)", u"文字種1", u"文字種2", u"文字種3",
                            u"文字種4",           u"文字種5", u"文字種6", u"文字種7",
                            u"文字種8",           u"文字種9", u"文字種10"};
    EXPECT_EQ(TextTypeEntries(jg), expected);
    jg.CurMjs = 0;
    EXPECT_EQ(TextTypeEntries(jg).front(), u"現在の文字種(Free)");
}

TEST(SizeSummary, HostTypes) {
    struct Case {
        int entry;
        int curMjs;
        const char16_t* expected;
    };
    // Type 2 holds 4.5, 5, 0.25, colour 107; the free size is 2.5, 2.5, 0.5, colour 1.
    const Case cases[] = {
        {0, 1, u"(No.1) W3 H3 D0 色2"},
        {0, 2, u"(No.2) W4.5 H5 D0.25 色107"},
        {2, 1, u"(No.2) W4.5 H5 D0.25 色107"},
        {10, 1, u"(No.10) W3 H3 D0 色2"},
        {0, 0, u"(Free) W2.5 H2.5 D0.5 色1"},
        {0, -1, u"(Free) W2.5 H2.5 D0.5 色1"},
        {0, 11, u"(Free) W2.5 H2.5 D0.5 色1"},
        // Nothing selected
        {-1, 1, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "entry " << c.entry << " current " << c.curMjs);
        TJGdata jg;
        jg.Mojisyu[2] = {4.5, 5.0, 0.25, 107};
        jg.CurMjs = c.curMjs;
        jg.CurMjsW = 2.5;
        jg.CurMjsH = 2.5;
        jg.CurMjsD = 0.5;
        jg.CurMjsC = 1;
        EXPECT_EQ(HostTypeSummary(c.entry, jg), c.expected);
    }
}

TEST(SizeSummary, FittedSizeForTheStatusLine) {
    TTextPlacement fitted;
    fitted.text = u"文字";
    fitted.fit = true;
    fitted.w = 3.14159;
    fitted.h = 6.2831;
    fitted.d = 0.0005;
    struct Case {
        const char* name;
        void (*change)(TTextPlacement&);
        const char16_t* expected;
    };
    const Case cases[] = {
        {"fitted, three places", [](TTextPlacement&) {},
         u"2点間に合わせた大きさ  W3.142 H6.283 D0.001"},
        {"not fitted", [](TTextPlacement& p) { p.fit = false; }, u""},
        {"blank text", [](TTextPlacement& p) { p.text = u"　 "; }, u""},
        {"beyond the numbers", [](TTextPlacement& p) { p.w = 1e308 * 10; }, u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTextPlacement p = fitted;
        c.change(p);
        EXPECT_EQ(FittedSizeText(p), c.expected);
    }
}

TEST(SizeSummary, PresetRowAsTheBoxesRead) {
    struct Case {
        TPresetRow row;
        const char16_t* expected;
    };
    const Case cases[] = {
        {TPresetRow{}, u" W3 H3 D0 色2"},
        {Boxes(u"2.50", u"1e1", u"-1.5", u"105"), u" W2.5 H10 D-1.5 色105"},
        // No range rule here; text that is not a number shows 0
        {Boxes(u"abc", u"600", u"", u"1.5"), u" W0 H600 D0 色0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(RowSummary(c.row), c.expected);
    }
}

TEST(FontList, UsableNames) {
    struct Case {
        const char16_t* name;
        bool usable;
    };
    const Case cases[] = {
        {u"ＭＳ ゴシック", true},
        {u" IPAGothic ", true},
        {u"Default", true},
        {u"@ＭＳ ゴシック", false},
        {u"Font@Vertical", false},
        {u"Cost$", false},
        {u"", false},
        {u" \u3000\t", false},
        {u"100%", false},
        {u"A&B", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        EXPECT_EQ(IsUsableFontName(c.name), c.usable);
    }
}

TEST(History, TypedTextGoesFirstExactlyOnce) {
    struct Case {
        const char* name;
        Lines list;
        const char16_t* typed;
        Lines expected;
    };
    const Case cases[] = {
        {"empty list", {}, u"a", {u"a"}},
        {"new text", {u"b", u"c"}, u"a", {u"a", u"b", u"c"}},
        {"already second", {u"b", u"a", u"c"}, u"a", {u"a", u"b", u"c"}},
        {"already first", {u"a", u"b"}, u"a", {u"a", u"b"}},
        {"other case", {u"b", u"ABC"}, u"abc", {u"abc", u"b"}},
        {"blanks kept", {u"a"}, u" a ", {u" a ", u"a"}},
        {"angle list", {u"0", u"90", u"-90", u"180"}, u"30", {u"30", u"0", u"90", u"-90", u"180"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lines list = c.list;
        UpdateHistory(list, c.typed);
        EXPECT_EQ(list, c.expected);
    }
}

// What a number box's text is taken as on OK when it does not read as a number; nothing when
// it reads well.
TEST(NumberBoxReading, UnreadTextNamesTheValueOkUses) {
    using K = TNumberKind;
    struct Case {
        K kind;
        const char16_t* text;
        const char16_t* value;  // nullptr: reads well
    };
    const Case cases[] = {
        // Reads well, zero spelt in any way included
        {K::Offset, u"0", nullptr},
        {K::Offset, u"-0.0", nullptr},
        {K::Offset, u"0e5", nullptr},
        {K::Offset, u" +.5", nullptr},
        {K::Offset, u"5.", nullptr},
        {K::Offset, u"1.5E-3", nullptr},
        {K::Size, u"900", nullptr},  // out of range, but a number: OK's range check says so
        {K::Colour, u"$0", nullptr},
        {K::Colour, u"0x1F", nullptr},
        {K::Colour, u" -7", nullptr},
        {K::Angle, u" 4 5 ", nullptr},  // the angle is read without its blanks
        {K::Angle, u"-30@@15@20", nullptr},
        {K::Angle, u"@@30", nullptr},
        // Blank: the default, as always
        {K::Offset, u"", nullptr},
        {K::Size, u" \u3000", nullptr},
        {K::Angle, u"", nullptr},
        // Full-width digits and signs
        {K::Offset, u"\uFF11\uFF12", u"0"},
        {K::Size, u"\uFF15", u"3"},
        {K::Spacing, u"\uFF0D\uFF11", u"0"},
        {K::Colour, u"\uFF13", u"2"},
        {K::Angle, u"\uFF14\uFF15", u"0"},
        // A stray character, a trailing blank, an incomplete exponent
        {K::Offset, u"2 ", u"0"},
        {K::Size, u"4mm", u"3"},
        {K::Offset, u"1e", u"0"},
        {K::Offset, u".", u"0"},
        {K::Colour, u"0x", u"2"},
        // Beyond the range of a number: read as 0
        {K::Offset, u"1e999", u"0"},
        {K::Offset, u"1e-999", u"0"},
        {K::Colour, u"99999999999", u"2"},
        // Degrees, minutes, seconds: a bad part counts as 0, the rest stays
        {K::Angle, u"\uFF13\uFF10@@30@0", u"0.5"},
        {K::Angle, u"30@@15@20@", u"30.25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case #" << (&c - cases));
        const std::optional<std::u16string> value = UnreadNumberValue(c.kind, c.text);
        if (c.value == nullptr) {
            EXPECT_FALSE(value.has_value()) << "read as unreadable";
        } else {
            EXPECT_EQ(value, std::optional<std::u16string>(c.value));
        }
    }
}

TEST(Composition, PreeditShownAtTheCursor) {
    EXPECT_EQ(ComposedText(u"", 0, u"かんじ"), u"かんじ");
    EXPECT_EQ(ComposedText(u"漢字", 1, u"の"), u"漢の字");
    EXPECT_EQ(ComposedText(u"漢字", 2, u""), u"漢字");
    // A cursor outside the text puts the composition at the nearer end.
    EXPECT_EQ(ComposedText(u"漢字", -3, u"あ"), u"あ漢字");
    EXPECT_EQ(ComposedText(u"漢字", 9, u"あ"), u"漢字あ");
}

// What OK makes of the dialog's state: one value from which the commands, the settings file
// and the dialog after OK are all written.

TDialogState PresetState(size_t checkedRow, const TPresetRow& boxes) {
    TDialogState s;
    s.text = u"abc";
    s.hostType = false;
    s.textTypes = 11;
    s.rows[checkedRow] = boxes;
    s.rows[checkedRow].checked = true;
    return s;
}

// The lines a placement sends, for comparing two placements.
TestSupport::TLines SentLines(const TTextPlacement& p) {
    TJGdata jg;
    jg.S_Init();
    WriteText(p, jg);
    return TestSupport::Sent(jg);
}

TEST(OkResult, CorrectionsOfTheRowUsedReachTheSettings) {
    struct Case {
        const char* name;
        TDialogState state;
        size_t row;  // the row OK uses
        TPresetRow expected;
    };
    TDialogState noneChecked;
    noneChecked.hostType = false;
    noneChecked.rows[0] = Boxes(u"999", u"2", u"0", u"5");
    noneChecked.rows[1] = Boxes(u"0", u"0", u"0", u"0");
    const Case cases[] = {
        {"every box out of range", PresetState(2, Boxes(u"0", u"abc", u"600", u"0")), 2,
         Boxes(u"3.0", u"3.0", u"0.0", u"2")},
        {"boxes in range stay as typed", PresetState(4, Boxes(u"5", u"0.1", u"-100", u"356")), 4,
         Boxes(u"5", u"0.1", u"-100", u"356")},
        // No row ticked: row 1 is used and corrected, the others keep what they show.
        {"no row ticked", noneChecked, 0, Boxes(u"3.0", u"2", u"0", u"5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TOkResult ok = ConfirmText(c.state, TJGdata());
        for (size_t r = 0; r < c.state.rows.size(); ++r) {
            const TPresetRow& want = r == c.row ? c.expected : c.state.rows[r];
            const TPresetRow& got = ok.settings.rows[r];
            EXPECT_EQ(Lines({got.width, got.height, got.spacing, got.colour}),
                      Lines({want.width, want.height, want.spacing, want.colour}))
                << "row " << r + 1;
            EXPECT_EQ(got.checked, c.state.rows[r].checked) << "row " << r + 1;
        }
        // The text is sent at the size the corrected boxes show.
        const TPresetRow& used = ok.settings.rows[c.row];
        EXPECT_EQ(ok.placement.w, TextToFloat(used.width));
        EXPECT_EQ(ok.placement.h, TextToFloat(used.height));
        EXPECT_EQ(ok.placement.d, TextToFloat(used.spacing));
        EXPECT_EQ(ok.placement.colour, TextToInt(used.colour));
    }
}

// The host's text type with no entry chosen: OK chooses the first entry (the current type)
// where the list has entries, and sends the current type.
TEST(OkResult, FirstTextTypeChosenWhereNoneWas) {
    TJGdata jg;
    jg.CurMjs = 4;
    TDialogState s;
    s.text = u"abc";
    s.textType = -1;
    s.textTypes = 11;
    TOkResult ok = ConfirmText(s, jg);
    EXPECT_EQ(ok.settings.textType, 0);
    EXPECT_EQ(ok.placement.type, 4);
    s.textTypes = 0;
    ok = ConfirmText(s, jg);
    EXPECT_EQ(ok.settings.textType, -1);
    EXPECT_EQ(ok.placement.type, 4);
}

// The histories take the text and the angle as OK leaves them; the rest of the state is kept.
TEST(OkResult, HistoriesAndKeptSettings) {
    TDialogState s;
    s.text = u"ABC";
    s.textHistory = {u"x", u"abc"};
    s.angle = u"090";
    s.left = -20;
    s.top = 7000;
    s.hostFont = 3;
    s.previewOpen = true;
    s.offsetsOn = true;
    s.offsets = {u"1", u"2", u"3", u"4", u"5", u"6"};
    const TOkResult ok = ConfirmText(s, TJGdata());
    EXPECT_EQ(ok.settings.text, u"ABC");
    EXPECT_EQ(ok.settings.angle, u"90");
    EXPECT_EQ(ok.settings.textHistory, Lines({u"ABC", u"x"}));
    EXPECT_EQ(ok.settings.angleHistory, Lines({u"90", u"0", u"-90", u"180"}));
    EXPECT_EQ(ok.settings.left, -20);
    EXPECT_EQ(ok.settings.top, 7000);
    EXPECT_EQ(ok.settings.hostFont, 3);
    EXPECT_TRUE(ok.settings.previewOpen);
    EXPECT_EQ(ok.settings.offsets, s.offsets);
}

// OK sends the text as the dialog shows it afterwards: with the angle in the form the angle
// box then holds, so that reopening the dialog and pressing OK again sends the same lines.
TEST(OkResult, SendsWhatTheDialogShowsAfterwards) {
    // The box shows a number to 15 digits: a longer one turns another way after OK.
    const char16_t* angles[] = {
        u"30 ", u"",          u"abc",     u"123456789.123456789", u"-0.000001234567890123",
        u"1e2", u"30@@15@20", u" 30**15 "};
    TJGdata jg;
    jg.Jikukaku = 12.5;
    for (const char16_t* angle : angles) {
        SCOPED_TRACE(testing::Message() << "angle \"" << ToUtf8(angle) << "\"");
        TDialogState s = PresetState(1, Boxes(u"0", u"4", u"1", u"7"));
        s.angle = angle;
        s.offsetsOn = true;
        s.offsets = {u"1", u"2", u"3", u"4", u"5", u"6"};
        s.mx1 = 1000.25;
        s.my1 = -40.5;
        const TOkResult ok = ConfirmText(s, jg);
        TDialogState after = s;
        static_cast<TDialogSettings&>(after) = ok.settings;
        EXPECT_EQ(SentLines(ok.placement), SentLines(PlaceText(TextInputOf(after), jg).placement));
        EXPECT_EQ(SentLines(ConfirmText(after, jg).placement), SentLines(ok.placement));
    }
}

}  // namespace
