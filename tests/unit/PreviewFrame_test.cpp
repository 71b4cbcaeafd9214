// Tests of the preview's view math: the frame stays finite for any host extent, zoom and pan,
// and lines and polygons are cut to the visible rectangle without leaving the range of numbers.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "app/PreviewClip.h"
#include "app/PreviewFrame.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kWidth = 400.0, kHeight = 300.0;

// Everything a painter is given from the frame is finite, and pixels map to host points and
// back to (nearly) the same pixels.
void ExpectSound(const TPreviewFrame& f) {
    EXPECT_TRUE(std::isfinite(f.Scale()));
    EXPECT_GT(f.Scale(), 0.0);
    EXPECT_TRUE(std::isfinite(f.OffsetX()));
    EXPECT_TRUE(std::isfinite(f.OffsetY()));
    const TFrameRect v = f.Visible(TPreviewFrame::kMaxMargin);
    for (double c : {v.x1, v.y1, v.x2, v.y2}) {
        EXPECT_TRUE(std::isfinite(c));
    }
    EXPECT_LT(v.x1, v.x2);
    EXPECT_LT(v.y1, v.y2);
    for (double px : {0.0, kWidth / 3, kWidth}) {
        const double back = f.OffsetX() + f.Scale() * f.HostX(px);
        EXPECT_NEAR(back, px, 1.0);
    }
}

bool Shows(const TPreviewFrame& f, double x, double y) {
    return Inside({x, y}, f.Visible(0.0));
}

TEST(PreviewFrame, FitShowsAnyFiniteExtent) {
    struct TCase {
        const char* name;
        TFrameRect box;
        double px, py;  // a point of the box that must be in view
    };
    const TCase cases[] = {
        {"ordinary", {0, 0, 420, 297}, 420, 297},
        {"single point at the origin", {0, 0, 0, 0}, 0, 0},
        {"single point at 1e308", {1e308, 1e308, 1e308, 1e308}, 1e308, 1e308},
        // Beyond what a view can reach: it reaches as far as it can.
        {"single point at the largest number", {kMax, -kMax, kMax, -kMax}, 0.6 * kMax, -0.6 * kMax},
        {"line across the whole range", {-1e308, 0, 1e308, 0}, 8e307, 0},
        {"tiny box far out", {1e300, 1e300, 1e300 + 1e285, 1e300}, 1e300, 1e300},
        {"corners in reverse order", {10, 10, -10, -10}, -10, -10},
        {"not finite", {-kInf, kNaN, kInf, 5}, 0, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TPreviewFrame f;
        f.SetSize(kWidth, kHeight);
        f.Fit(&c.box);
        ExpectSound(f);
        EXPECT_TRUE(Shows(f, c.px, c.py));
    }
    TPreviewFrame none;
    none.SetSize(kWidth, kHeight);
    none.Fit(nullptr);
    ExpectSound(none);
    EXPECT_TRUE(Shows(none, 5, 5));
    EXPECT_FALSE(Shows(none, 20, 0));
}

// Far out and far in, about the middle and about the corners, then far away by dragging:
// the frame stays sound after every step.
TEST(PreviewFrame, ZoomAndPanStayWithinTheRangeOfNumbers) {
    const TFrameRect boxes[] = {
        {0, 0, 10, 10}, {1e308, 1e308, 1e308, 1e308}, {-1e308, 0, 1e308, 0}};
    for (const TFrameRect& box : boxes) {
        SCOPED_TRACE(box.x1);
        TPreviewFrame f;
        f.SetSize(kWidth, kHeight);
        f.Fit(&box);
        for (double factor : {1.2, 1 / 1.2}) {
            for (int i = 0; i < 5000; ++i) {
                f.Zoom(factor, (i % 3) * kWidth / 2, (i % 2) * kHeight);
                if (i % 500 == 0) {
                    ExpectSound(f);
                }
            }
            ExpectSound(f);
        }
        for (int i = 0; i < 2000; ++i) {
            f.Pan(1e300, -1e300);
        }
        ExpectSound(f);
        f.Zoom(1e308, 0, 0);
        f.Zoom(kInf, kNaN, 0);
        f.Pan(kNaN, kInf);
        ExpectSound(f);
    }
}

TEST(PreviewFrame, ZoomKeepsThePointUnderTheCursor) {
    TPreviewFrame f;
    f.SetSize(kWidth, kHeight);
    const TFrameRect box{0, 0, 100, 100};
    f.Fit(&box);
    const double hx = f.HostX(100), hy = f.HostY(50);
    f.Zoom(1.2, 100, 50);
    EXPECT_NEAR(f.HostX(100), hx, 1e-9);
    EXPECT_NEAR(f.HostY(50), hy, 1e-9);
    // The strongest zoom is a billionth of a unit per pixel.
    f.Zoom(1e30, 100, 50);
    EXPECT_DOUBLE_EQ(f.Scale(), TPreviewFrame::kMaxScale);
}

TEST(PreviewClip, SegmentsAreCutToTheRectangle) {
    const TFrameRect r{0, 0, 100, 50};
    struct TCase {
        const char* name;
        TClipPoint a, b;
        bool kept;
        TClipPoint ca, cb;
    };
    const TCase cases[] = {
        {"inside", {10, 10}, {20, 20}, true, {10, 10}, {20, 20}},
        {"across", {-100, 25}, {200, 25}, true, {0, 25}, {100, 25}},
        {"across the whole range", {-1e308, 25}, {1e308, 25}, true, {0, 25}, {100, 25}},
        {"outside", {-10, -10}, {-5, 60}, false, {}, {}},
        {"passes a corner by", {90, -20}, {120, 10}, false, {}, {}},
        {"not finite", {0, 0}, {kInf, 0}, false, {}, {}},
        {"not a number", {kNaN, 0}, {10, 10}, false, {}, {}},
    };
    // Corner to corner across the largest numbers: where the line crosses the rectangle is
    // known only as well as numbers of that size allow, but what is drawn stays within it.
    TClipPoint a{-kMax, -kMax}, b{kMax, kMax};
    ASSERT_TRUE(ClipSegment(a, b, r));
    EXPECT_TRUE(Inside(a, r));
    EXPECT_TRUE(Inside(b, r));

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TClipPoint a = c.a, b = c.b;
        ASSERT_EQ(ClipSegment(a, b, r), c.kept);
        if (c.kept) {
            EXPECT_NEAR(a.x, c.ca.x, 1e-9);
            EXPECT_NEAR(a.y, c.ca.y, 1e-9);
            EXPECT_NEAR(b.x, c.cb.x, 1e-9);
            EXPECT_NEAR(b.y, c.cb.y, 1e-9);
        }
    }
}

TEST(PreviewClip, PolygonsAreCutToTheRectangle) {
    const TFrameRect r{0, 0, 10, 10};
    // A triangle far larger than the range of its differences covers the whole rectangle.
    const std::vector<TClipPoint> huge = {{-1e308, -1e308}, {1e308, -1e308}, {0, 1e308}};
    const std::vector<TClipPoint> cut = ClipPolygon(huge, r);
    ASSERT_GE(cut.size(), 4u);
    double area = 0.0;
    for (size_t i = 0; i < cut.size(); ++i) {
        const TClipPoint& p = cut[i];
        const TClipPoint& q = cut[(i + 1) % cut.size()];
        EXPECT_TRUE(Inside(p, r));
        area += p.x * q.y - q.x * p.y;
    }
    EXPECT_NEAR(std::fabs(area) / 2, 100.0, 1e-9);

    EXPECT_TRUE(ClipPolygon({{20, 20}, {30, 20}, {30, 30}}, r).empty());
    EXPECT_TRUE(ClipPolygon({{0, 0}, {kNaN, 5}, {5, 5}}, r).empty());
    const std::vector<TClipPoint> inside = {{1, 1}, {2, 1}, {2, 2}};
    EXPECT_EQ(ClipPolygon(inside, r).size(), 3u);
}

}  // namespace
