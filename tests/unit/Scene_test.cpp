// Tests of the drawing scene: the primitives each entity kind becomes, their geometry,
// colours and entity numbers, and the scene's bounds.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "scene/DavScene.h"

using DavScene::TPrimKind;
using DavScene::TScene;
using DavScene::TScenePrim;

namespace {

constexpr int Rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

TScene SceneOf(TJGdata& jg, const std::string& hostText) {
    jg.OpenTempBytes(hostText);
    return DavScene::BuildScene(jg);
}

struct TCase {
    const char* name;
    std::string host;       // host file lines; the last entity line gives the primitive
    TPrimKind kind;
    std::vector<double> g;  // the expected leading values of TScenePrim::g
    int color;
    double bx1, by1, bx2, by2;  // the scene's bounds
};

const std::vector<TCase> kCases = {
    // Lines and curves, in the colour of their colour code.
    {"line", "lc3\n0 0 10 5\n", TPrimKind::Line, {0, 0, 10, 5}, Rgb(0, 192, 0), 0, 0, 10, 5},
    {"circle", "lc6\nci 1 2 3\n", TPrimKind::Arc, {1, 2, 3, 1, 0, 0, 360}, Rgb(0, 0, 255),
     -2, -1, 4, 5},
    {"quarter arc", "ci 0 0 10 0 90 1 0\n", TPrimKind::Arc, {0, 0, 10, 1, 0, 0, 90},
     Rgb(0, 192, 192), 0, 0, 10, 10},
    {"arc through 0 degrees", "ci 0 0 10 270 90 1 0\n", TPrimKind::Arc,
     {0, 0, 10, 1, 0, 270, 180}, Rgb(0, 192, 192), 0, -10, 10, 10},
    {"arc with equal angles is whole", "ci 0 0 10 45 45 1 0\n", TPrimKind::Arc,
     {0, 0, 10, 1, 0, 45, 360}, Rgb(0, 192, 192), -10, -10, 10, 10},
    {"tilted flat ellipse", "ci 0 0 10 0 360 0.5 90\n", TPrimKind::Arc,
     {0, 0, 10, 0.5, 90, 0, 360}, Rgb(0, 192, 192), -5, -10, 5, 10},
    {"half ellipse tilted 45", "ci 0 0 10 0 180 0.5 45\n", TPrimKind::Arc,
     {0, 0, 10, 0.5, 45, 0, 180}, Rgb(0, 192, 192), -7.905694150420948,
     -7.0710678118654755, 7.0710678118654755, 7.905694150420948},

    // Texts: the box of their drawn length and height, placed by the base point.
    {"horizontal text centred", "cn0 4 5 1 2\ncc4\nch 10 20 10 0 \"AB\n", TPrimKind::Text,
     {7.5, 17.5, 5, 0, 0, 5, 4, 5}, 0, 7.5, 17.5, 12.5, 22.5},
    {"text turned a quarter", "cn0 4 5 1 2\nch 0 0 0 10 \"AB\n", TPrimKind::Text,
     {0, 0, 0, 5, -5, 0}, 0, -5, 0, 0, 5},
    {"vertical text from the top right", "\xEF\xBB\xBF" "cn0 4 5 1 3\ncc8\ncv 0 0 10 0 \"\xE3\x81\x82\xE3\x81\x84\n",
     TPrimKind::Text, {-4, -12, 4, 0, 0, 12}, Rgb(0, 192, 0), -4, -12, 0, 0},
    {"text of a host text type", "hcw 1 6 1 1 1 1 1 1 1 1\nhch 1 2 1 1 1 1 1 1 1 1\n"
     "hcc 1 5 1 1 1 1 1 1 1 1\ncn2\nch 0 0 1 0 \"A\n",
     TPrimKind::Text, {0, 0, 3, 0, 0, 2, 6, 2}, Rgb(192, 0, 192), 0, 0, 3, 2},

    // Points and markers, in the point colour; a marker without scale has scale 1.
    {"point", "pn5\npt 3 4\n", TPrimKind::Point, {3, 4}, Rgb(192, 0, 192), 3, 4, 3, 4},
    {"marker", "pt 1 2 0 45 3\n", TPrimKind::Marker, {1, 2, 1, 45}, Rgb(0, 192, 192), 1, 2, 1, 2},
    {"block insert", "BL 7 8 frame\n", TPrimKind::Point, {7, 8}, Rgb(0, 192, 192), 7, 8, 7, 8},

    // Solids: polygons, and arc shapes kept parametric; RGB only with colour code 10.
    {"two-point solid", "lc10 255\nsl 0 0 4 3\n", TPrimKind::Polygon, {0, 0, 4, 3}, 255,
     0, 0, 4, 3},
    {"triangle", "lc10 65280\nsl 0 0 4 0 4 3\n", TPrimKind::Polygon, {0, 0, 4, 0, 4, 3},
     Rgb(0, 255, 0), 0, 0, 4, 3},
    {"quadrilateral in colour 3", "lc3\nsl 0 0 4 0 4 3 0 3\n", TPrimKind::Polygon,
     {0, 0, 4, 0, 4, 3, 0, 3}, Rgb(0, 192, 0), 0, 0, 4, 3},
    {"sector", "lc10 255\nsc 0 0 10 1 0 0 90 100\n", TPrimKind::Sector, {0, 0, 10, 1, 0, 0, 90},
     255, 0, 0, 10, 10},
    {"segment swept backwards", "lc10 255\nse 0 0 10 1 0 90 -90 0\n", TPrimKind::Segment,
     {0, 0, 10, 1, 0, 0, 90}, 255, 0, 0, 10, 10},
    {"ring half", "lc10 255\nso 0 0 10 1 0 0 180 5\n", TPrimKind::Ring,
     {0, 0, 10, 1, 0, 0, 180, 5}, 255, -10, 0, 10, 10},
    {"ring whole", "lc10 255\nsg 1 1 10 1 0 0 360 5\n", TPrimKind::Ring,
     {1, 1, 10, 1, 0, 0, 360, 5}, 255, -9, -9, 11, 11},
};

TEST(SceneTest, EachKindBecomesItsPrimitive) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        const TScene s = SceneOf(jg, c.host);
        ASSERT_EQ(s.prims.size(), 1u);
        const TScenePrim& p = s.prims[0];
        EXPECT_EQ(p.kind, c.kind);
        EXPECT_EQ(p.ent, 0);
        EXPECT_EQ(p.color, c.color);
        for (size_t i = 0; i < c.g.size(); ++i) {
            EXPECT_NEAR(p.g[i], c.g[i], 1e-9) << "g[" << i << "]";
        }
        if (c.kind == TPrimKind::Polygon) {
            EXPECT_EQ(p.n, c.g.size() / 2);
        }
        ASSERT_FALSE(s.bounds.empty);
        EXPECT_NEAR(s.bounds.x1, c.bx1, 1e-9);
        EXPECT_NEAR(s.bounds.y1, c.by1, 1e-9);
        EXPECT_NEAR(s.bounds.x2, c.bx2, 1e-9);
        EXPECT_NEAR(s.bounds.y2, c.by2, 1e-9);
    }
}

TEST(SceneTest, TextsReferToTheirRecordsAndKnowTheirDirection) {
    TJGdata jg;
    const TScene s =
        SceneOf(jg, "cn0 2 3 0 1\nch 0 0 1 0 \"Hello\ncv 0 0 1 0 \"\xE7\xB8\xA6\n");
    ASSERT_EQ(s.prims.size(), 2u);
    EXPECT_EQ(s.prims[0].text, &jg.EntText[0]);
    EXPECT_EQ(s.prims[0].text->st, u"Hello");
    EXPECT_FALSE(s.prims[0].vertical);
    EXPECT_TRUE(s.prims[1].vertical);
    double x[4], y[4];
    DavScene::TextCorners(s.prims[0], x, y);
    // Five half-width characters of width 2: a box 5 long and 3 high.
    EXPECT_DOUBLE_EQ(x[2], 5.0);
    EXPECT_DOUBLE_EQ(y[2], 3.0);
}

TEST(SceneTest, DimensionIsItsLineAndTextUnderOneEntity) {
    TJGdata jg;
    const TScene s = SceneOf(jg, "0 9 1 9\nlc5\nmsg\n0 -5 50 -5\ncs 25 -3 1 0 \"50\n");
    ASSERT_EQ(s.prims.size(), 3u);
    EXPECT_EQ(s.prims[1].kind, TPrimKind::Line);
    EXPECT_EQ(s.prims[2].kind, TPrimKind::Text);
    EXPECT_EQ(s.prims[1].ent, 1);
    EXPECT_EQ(s.prims[2].ent, 1);
    EXPECT_EQ(s.prims[1].color, Rgb(192, 0, 192));
    EXPECT_EQ(s.prims[2].text, &jg.EntDim[0].txt);
    EXPECT_DOUBLE_EQ(s.prims[1].g[2], 50.0);
}

TEST(SceneTest, PickedPointsComeLastWithTheirNumbers) {
    TJGdata jg;
    const TScene s = SceneOf(jg, "hp12 50 60\nhp1 -10 20\n0 0 1 1\n");
    ASSERT_EQ(s.prims.size(), 3u);
    EXPECT_EQ(s.prims[0].kind, TPrimKind::Line);
    EXPECT_EQ(s.prims[1].kind, TPrimKind::Picked);
    EXPECT_EQ(s.prims[1].code, 1);
    EXPECT_EQ(s.prims[1].ent, -1);
    EXPECT_EQ(s.prims[2].code, 12);
    EXPECT_DOUBLE_EQ(s.bounds.x1, -10.0);
    EXPECT_DOUBLE_EQ(s.bounds.y2, 60.0);
}

TEST(SceneTest, EveryEntityOfTheFixtureIsDrawnInDrawingOrder) {
    TJGdata jg;
    std::string host;
    {
        FILE* f = std::fopen(R407_FIXTURES "/host_all_kinds_utf8_bom.txt", "rb");
        ASSERT_NE(f, nullptr);
        char buf[4096];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
            host.append(buf, n);
        }
        std::fclose(f);
    }
    const TScene s = SceneOf(jg, host);
    int last = -1;
    int dims = 0;
    int picked = 0;
    for (const TScenePrim& p : s.prims) {
        if (p.kind == TPrimKind::Picked) {
            ++picked;
            continue;
        }
        EXPECT_GE(p.ent, last);
        dims += (p.ent == last) ? 1 : 0;
        last = p.ent;
    }
    EXPECT_EQ(last, jg.EntN - 1);
    EXPECT_EQ(dims, jg.EntDimN);  // a dimension adds one primitive under the same entity
    EXPECT_EQ(picked, 5);
}

TEST(SceneTest, EmptyModelAndNonFiniteGeometry) {
    TJGdata empty;
    EXPECT_TRUE(DavScene::BuildScene(empty).bounds.empty);

    // A record whose numbers are not finite (the store refuses them, a caller may still set
    // one) cannot be drawn: it is left out and counted, and the bounds are those of the rest.
    TJGdata jg;
    jg.A_Line(0, 0, 1, 1);
    jg.A_Line(0, 0, 1, 0.5);
    jg.EntLine[1].x2 = std::numeric_limits<double>::infinity();
    const TScene s = DavScene::BuildScene(jg);
    EXPECT_EQ(s.prims.size(), 1u);
    EXPECT_EQ(s.leftOut, 1);
    EXPECT_DOUBLE_EQ(s.bounds.x2, 1.0);

    // An index entry that names no record is passed over, and is not counted.
    jg.EntNo[0].no = 5;
    EXPECT_EQ(DavScene::BuildScene(jg).prims.size(), 0u);
    EXPECT_EQ(DavScene::BuildScene(jg).leftOut, 1);
}

// Host files at the edge of the range of numbers: what the host wrote is finite, but a point
// the primitive reaches may not be. Those are left out; the rest keeps its place and bounds.
TEST(SceneTest, PrimitivesBeyondTheRangeOfNumbersAreLeftOut) {
    struct TEdgeCase {
        const char* name;
        std::string host;
        size_t kept;
        int leftOut;
        double bx1, bx2;
    };
    const TEdgeCase cases[] = {
        // Kept: every point finite, though the width of the bounds is not.
        {"picked point at 1e308", "hp1 1e308 1e308\n", 1, 0, 1e308, 1e308},
        {"line across the whole range", "-1e308 0 1e308 0\n", 1, 0, -1e308, 1e308},
        {"circle of radius 1e300", "ci 0 0 1e300\n", 1, 0, -1e300, 1e300},
        // Left out: the far side of the circle, the end of the text's box.
        {"circle past the largest number", "0 0 1 1\nci 1e308 0 1e308\n", 1, 1, 0, 1},
        {"ellipse whose flattening overflows", "0 0 1 1\nci 0 0 1e300 0 360 1e300 45\n", 1, 1,
         0, 1},
        {"text longer than the range", "0 0 1 1\ncn0 1e308 1 1e308 2\nch 0 0 1 0 \"ABCD\n", 1, 1,
         0, 1},
        {"solid sector past the range", "0 0 1 1\nsc 1e308 0 1e308 1 0 0 90 0\n", 1, 1, 0, 1},
    };
    for (const TEdgeCase& c : cases) {
        SCOPED_TRACE(c.name);
        TJGdata jg;
        const TScene s = SceneOf(jg, c.host);
        EXPECT_EQ(s.prims.size(), c.kept);
        EXPECT_EQ(s.leftOut, c.leftOut);
        ASSERT_FALSE(s.bounds.empty);
        EXPECT_DOUBLE_EQ(s.bounds.x1, c.bx1);
        EXPECT_DOUBLE_EQ(s.bounds.x2, c.bx2);
        for (const TScenePrim& p : s.prims) {
            for (double v : p.g) {
                EXPECT_TRUE(std::isfinite(v));
            }
        }
    }
}

}  // namespace
