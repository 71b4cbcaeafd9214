// The placement record that both the commands on OK and the preview take: for every mode,
// orientation, base point and offset, the text command written on OK carries the record's
// point and direction, and the box drawn around the text sits on that point as the base
// point says.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/TextOutline.h"
#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"
#include "util/MyFunc.h"

namespace {

constexpr double kTolerance = 1e-9;

// A host with two picked points, a selected line and an axis angle, so that every mode
// places the text somewhere of its own.
void Host(TJGdata& jg) {
    jg.Jikukaku = 30.0;
    jg.IPoints[1] = {true, 12.0, -7.0, 1};
    jg.IPoints[2] = {true, 52.0, 23.0, 1};
    jg.EntLine.resize(1000);
    jg.EntLine[0] = {};
    jg.EntLine[0].x2 = -10.0;
    jg.EntLine[0].y2 = -3.0;
    jg.EntLineN = 1;
}

// The text command's code, point and direction, read back from its line.
struct TCommand {
    std::u16string code;
    double x = 0.0, y = 0.0, dx = 0.0, dy = 0.0;
};

TCommand ReadTextCommand(const std::u16string& line) {
    std::vector<std::u16string> words;
    size_t at = 0;
    for (int i = 0; i < 5; ++i) {
        const size_t blank = line.find(u' ', at);
        words.push_back(line.substr(at, blank - at));
        at = blank + 1;
    }
    return {words[0], TextToFloat(words[1]), TextToFloat(words[2]), TextToFloat(words[3]),
            TextToFloat(words[4])};
}

TEST(PlacementRecord, TextCommandAndBoxAgreeForEveryChoice) {
    const std::optional<std::u16string> modes[] = {std::nullopt, u"1", u"2", u"3",
                                                   u"4",         u"5", u"fit"};
    const char16_t* const codes[] = {u"ch", u"cv", u"cz", u"c2"};
    int checked = 0;
    for (const auto& mode : modes) {
        TJGdata host;
        Host(host);
        const TStartupPlacement start = StartupPlacement(mode, host);
        for (int orientation = 0; orientation < 4; ++orientation) {
            for (int option = 0; option < 9; ++option) {
                for (bool offsets : {false, true}) {
                    SCOPED_TRACE(testing::Message()
                                 << "mode " << (mode ? std::string(mode->begin(), mode->end())
                                                     : std::string("none"))
                                 << ", orientation " << orientation << ", option " << option
                                 << ", offsets " << offsets);
                    TTextInput in;
                    in.text = u"Ab文字";
                    in.angle = start.angle.value_or(u"15");
                    in.orientation = orientation;
                    in.basePoint = option;
                    in.offsetsOn = offsets;
                    in.offsets = {u"1.5", u"-2", u"3", u"4", u"-5", u"6.25"};
                    in.mx1 = start.mx1;
                    in.my1 = start.my1;
                    in.mx2 = start.mx2;
                    in.my2 = start.my2;
                    in.mjiku = start.mjiku;
                    in.mfit = start.mfit;

                    const TTextPlacement p = PlaceText(in, host).placement;
                    TJGdata jg;
                    Host(jg);
                    jg.S_Init();
                    MakeText(in, jg);
                    const TestSupport::TLines lines = TestSupport::Sent(jg);
                    ASSERT_FALSE(lines.empty());
                    const TCommand cmd = ReadTextCommand(lines.back());

                    EXPECT_EQ(cmd.code, codes[orientation]);
                    EXPECT_EQ(p.orientation, std::vector<int>({0, 1, 8, 9})[orientation]);
                    const TTextOutline o = OutlineOf(p);
                    EXPECT_NEAR(o.base.x, cmd.x, kTolerance);
                    EXPECT_NEAR(o.base.y, cmd.y, kTolerance);
                    EXPECT_NEAR(o.ux * 10.0, cmd.dx, kTolerance);
                    EXPECT_NEAR(o.uy * 10.0, cmd.dy, kTolerance);
                    const std::u16string mbs = u"cc" + IntToText(p.basePoint);
                    EXPECT_NE(std::find(lines.begin(), lines.end(), mbs), lines.end());

                    // The base point sits on the box where the option names it: column from
                    // the left, row from the bottom.
                    const int column = p.basePoint % 3;
                    const int row = p.basePoint / 3;
                    const TOutlinePoint anchor =
                        OutlineAt(o, o.along * column / 2.0, o.across * row / 2.0);
                    EXPECT_NEAR(anchor.x, cmd.x, kTolerance);
                    EXPECT_NEAR(anchor.y, cmd.y, kTolerance);

                    // Fitted horizontal text without offsets runs from the first picked point
                    // to the second.
                    if (start.mfit && orientation != 1 && !offsets) {
                        const TOutlinePoint from = OutlineAt(o, 0.0, o.across * row / 2.0);
                        const TOutlinePoint to = OutlineAt(o, o.along, o.across * row / 2.0);
                        EXPECT_NEAR(from.x, 12.0, kTolerance);
                        EXPECT_NEAR(from.y, -7.0, kTolerance);
                        EXPECT_NEAR(to.x, 52.0, kTolerance);
                        EXPECT_NEAR(to.y, 23.0, kTolerance);
                    }
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 7 * 4 * 9 * 2);
}

// The box's size: the text's drawn length along its run, half-width characters counting
// half, and the character size across it; vertical text stacks its characters downwards.
TEST(PlacementRecord, BoxSizeAndCells) {
    TTextPlacement p;
    p.text = u"A文\U0001F600";  // a half-width letter, a full-width one, a surrogate pair
    p.w = 4.0;
    p.h = 6.0;
    p.d = 1.0;
    p.x = 100.0;
    p.y = 50.0;
    p.dx = 0.0;
    p.dy = 10.0;  // turned a quarter: the run goes up the y axis

    p.orientation = 0;
    p.basePoint = 0;  // 左下
    TTextOutline o = OutlineOf(p);
    TTextInput in;
    in.text = p.text;
    EXPECT_EQ(PlaceText(in, TJGdata()).placement.characters, 3);
    EXPECT_DOUBLE_EQ(o.along, 2.5 + 5.0 + 5.0);
    EXPECT_DOUBLE_EQ(o.across, 6.0);
    ASSERT_EQ(o.cells.size(), 3u);
    EXPECT_EQ(o.cells[2].ch, u"\U0001F600");
    EXPECT_DOUBLE_EQ(o.cells[1].start, 2.5);
    EXPECT_DOUBLE_EQ(o.cells[0].size, 2.0);
    // Turned a quarter, the box stands to the left of the base point, running upwards.
    EXPECT_NEAR(o.corners[2].x, 100.0 - 6.0, kTolerance);
    EXPECT_NEAR(o.corners[2].y, 50.0 + 12.5, kTolerance);

    p.orientation = 1;
    p.basePoint = 8;  // 右上
    p.dx = 10.0;
    p.dy = 0.0;
    o = OutlineOf(p);
    EXPECT_DOUBLE_EQ(o.along, 4.0);
    EXPECT_DOUBLE_EQ(o.across, 3.5 + 7.0 + 7.0);
    // Top right on the base point: the box lies to its left and below it.
    EXPECT_NEAR(o.corners[0].x, 96.0, kTolerance);
    EXPECT_NEAR(o.corners[0].y, 32.5, kTolerance);
    EXPECT_NEAR(o.corners[2].x, 100.0, kTolerance);
    EXPECT_NEAR(o.corners[2].y, 50.0, kTolerance);
}

}  // namespace
