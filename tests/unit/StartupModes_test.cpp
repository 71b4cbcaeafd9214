// The mode argument: where the text goes, the angle written into the angle box, and whether
// the axis angle is added or the text is fitted.
#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "app/Unit1Logic.h"
#include "exchange/DavGaibu.h"

namespace {

struct TPoint {
    double x = 0.0, y = 0.0;
};

struct THost {
    std::optional<TPoint> p1, p2;
    std::optional<TPoint> lineFrom, lineTo;
};

void Load(const THost& h, TJGdata& jg) {
    if (h.p1) {
        jg.IPoints[1] = {true, h.p1->x, h.p1->y, 1};
    }
    if (h.p2) {
        jg.IPoints[2] = {true, h.p2->x, h.p2->y, 1};
    }
    if (h.lineFrom) {
        jg.EntLine.resize(1000);
        jg.EntLine[0].x1 = h.lineFrom->x;
        jg.EntLine[0].y1 = h.lineFrom->y;
        jg.EntLine[0].x2 = h.lineTo->x;
        jg.EntLine[0].y2 = h.lineTo->y;
        jg.EntLineN = 1;
    }
}

TEST(StartupModes, PlacementAngleAndFlags) {
    const TPoint at200{std::cos(200.0 / 180.0 * std::numbers::pi) * 10.0,
                       std::sin(200.0 / 180.0 * std::numbers::pi) * 10.0};
    const TPoint o{0, 0};
    const THost twoPoints{TPoint{0, 0}, TPoint{10, 10}, {}, {}};
    const THost nothing{};
    struct Case {
        const char* name;
        std::optional<std::u16string> mode;
        THost host;
        double mx1, my1, mx2, my2;
        bool mjiku, mfit;
        std::optional<std::u16string> angle;
    };
    const std::nullopt_t kept = std::nullopt;
    const Case cases[] = {
        // The saved angle stays and the axis angle is added
        {"no argument", std::nullopt, twoPoints, 0, 0, 0, 0, true, false, kept},
        {"1: at P1", u"1", {TPoint{3, -4}, TPoint{10, 10}, {}, {}}, 3, -4, 0, 0, true, false, kept},
        {"1 without picked points", u"1", nothing, 0, 0, 0, 0, true, false, kept},
        // Along the first selected line, kept below 180 degrees, at P2
        {"2: line at 200 degrees",
         u"2",
         {TPoint{1, 1}, TPoint{7, 8}, o, at200},
         7,
         8,
         0,
         0,
         false,
         false,
         u"20"},
        {"2: line at 20 degrees",
         u"2",
         {TPoint{1, 1}, TPoint{7, 8}, at200, o},
         7,
         8,
         0,
         0,
         false,
         false,
         u"20"},
        {"2: line from right to left",
         u"2",
         {{}, {}, TPoint{10, 5}, TPoint{0, 5}},
         0,
         0,
         0,
         0,
         false,
         false,
         u"0"},
        {"2: no line", u"2", twoPoints, 10, 10, 0, 0, false, false, u"0"},
        // The direction of P1 to P2
        {"3: at P1", u"3", {TPoint{0, 0}, TPoint{0, 10}, {}, {}}, 0, 0, 0, 0, false, false, u"90"},
        {"3: half turn",
         u"3",
         {TPoint{5, 0}, TPoint{0, 0}, {}, {}},
         5,
         0,
         0,
         0,
         false,
         false,
         u"180"},
        {"4: at the midpoint", u"4", twoPoints, 5, 5, 0, 0, false, false, u"45"},
        {"5: at P2", u"5", {TPoint{0, 0}, TPoint{0, 10}, {}, {}}, 0, 10, 0, 0, false, false, u"90"},
        {"5: downwards",
         u"5",
         {TPoint{0, 10}, TPoint{0, 0}, {}, {}},
         0,
         0,
         0,
         0,
         false,
         false,
         u"270"},
        // Anything else fits the text between P1 and P2
        {"9", u"9", twoPoints, 0, 0, 10, 10, false, true, u"45"},
        {"1 with a blank", u"1 ", twoPoints, 0, 0, 10, 10, false, true, u"45"},
        {"empty argument",
         u"",
         {TPoint{1, 2}, TPoint{1, 2}, {}, {}},
         1,
         2,
         1,
         2,
         false,
         true,
         u"0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        Load(c.host, jg);
        const TStartupPlacement p = StartupPlacement(c.mode, jg);
        EXPECT_EQ(p.mx1, c.mx1);
        EXPECT_EQ(p.my1, c.my1);
        EXPECT_EQ(p.mx2, c.mx2);
        EXPECT_EQ(p.my2, c.my2);
        EXPECT_EQ(p.mjiku, c.mjiku);
        EXPECT_EQ(p.mfit, c.mfit);
        EXPECT_EQ(p.angle, c.angle);
    }
}

// Picked points near the largest number: every mode gives a finite place, and the text is
// written whole; only offsets that carry it further leave the range, and then nothing is sent.
TEST(StartupModes, PointsNearTheLargestNumbers) {
    TJGdata jg;
    jg.OpenTempBytes("hp1 1.7e308 1.7e308\r\nhp2 1.7e308 1.7e308\r\n");
    const std::optional<std::u16string> modes[] = {std::nullopt, u"1", u"2", u"3", u"4", u"5",
                                                   u"fit"};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode ? std::string(mode->begin(), mode->end()) : "none");
        const TStartupPlacement p = StartupPlacement(mode, jg);
        TTextInput in;
        in.text = u"通り芯";
        in.basePoint = 4;  // the middle column: a fit is placed at the midpoint
        in.mx1 = p.mx1;
        in.my1 = p.my1;
        in.mx2 = p.mx2;
        in.my2 = p.my2;
        in.mjiku = p.mjiku;
        in.mfit = p.mfit;
        EXPECT_TRUE(std::isfinite(p.mx1) && std::isfinite(p.my1));
        EXPECT_TRUE(HasFinitePlacement(in, jg));
        TJGdata out;
        out.S_Init();
        MakeText(in, out);
        ASSERT_GT(out.t_MemN, 0);
        const std::u16string& text = out.t_Mem[static_cast<size_t>(out.t_MemN) - 1];
        EXPECT_EQ(text.rfind(u"ch ", 0), 0u);
        EXPECT_EQ(text.find(u"INF"), std::u16string::npos);

        if (!mode) {
            continue;  // at the origin: no offset goes past the largest number
        }
        // Every mode but the origin puts the text at 1.7e308; an offset of -1e308 moves it
        // past the largest number.
        in.offsetsOn = true;
        in.offsets[4] = u"-1e308";
        in.offsets[1] = u"-1e308";
        EXPECT_FALSE(HasFinitePlacement(in, jg));
        TJGdata none;
        none.S_Init();
        MakeText(in, none);
        EXPECT_EQ(none.t_MemN, 0);
    }
}

}  // namespace
