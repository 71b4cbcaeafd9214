// Numeric and geometry helpers: rounding modes, rotation, direction, distance, text length.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "util/MyFunc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kFullTurn = 6.28318530717958;

TEST(RoundDigitsTest, Modes) {
    struct TCase {
        double value;
        int digits;
        int mode;
        double expected;
    };
    static const TCase kCases[] = {
        // Drop, away from zero beyond a tenth, halves away from zero
        {2.24, 1, 0, 2.2},
        {2.24, 1, 1, 2.3},
        {2.24, 1, 2, 2.2},
        {2.26, 1, 0, 2.2},
        {2.26, 1, 1, 2.3},
        {2.26, 1, 2, 2.3},
        {-2.26, 1, 0, -2.2},
        {-2.26, 1, 1, -2.3},
        {-2.26, 1, 2, -2.3},
        {2.205, 1, 1, 2.2},
        {-2.25, 1, 2, -2.3},
        {2.5, 0, 7, 3.0},  // any other mode rounds halves
        // Digits outside 1 to 14 cut to an integer
        {2.5, 0, 2, 3.0},
        {2.5, 15, 2, 3.0},
        {2.5, -1, 2, 3.0},
        {2.5, 0, 0, 2.0},
        {2.5, 15, 0, 2.0},
        {2.5, -1, 0, 2.0},
        {0.125, 2, 2, 0.13},
        {0.375, 2, 0, 0.37},
        {1.0000000000000002, 14, 2, 1.0},
        // Negative zero counts as not negative
        {-0.0, 2, 2, 0.0},
        // The program's own use: 12 places
        {180.00000000000018, 12, 2, 180.0},
        {89.9999999999996, 12, 2, 90.0},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.value << " digits " << c.digits << " mode " << c.mode);
        const double r = RoundDigits(c.value, c.digits, c.mode);
        EXPECT_EQ(r, c.expected);
        EXPECT_EQ(std::signbit(r), std::signbit(c.expected));
    }
}

TEST(RotateTest, CounterClockwiseAboutCentre) {
    EXPECT_NEAR(RotateX(1, 0, 0, 0, kPi / 2), 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(RotateY(1, 0, 0, 0, kPi / 2), 1.0);
    EXPECT_NEAR(RotateX(2, 1, 1, 1, kPi), 0.0, 1e-15);
    EXPECT_NEAR(RotateY(2, 1, 1, 1, kPi), 1.0, 1e-15);
    // A quarter turn clockwise, about a centre away from the origin.
    EXPECT_NEAR(RotateX(10, 20, 10, 10, -kPi / 2), 20.0, 1e-13);
    EXPECT_NEAR(RotateY(10, 20, 10, 10, -kPi / 2), 10.0, 1e-13);
    EXPECT_DOUBLE_EQ(RotateX(3, 4, 1, 1, 0), 3.0);
    EXPECT_DOUBLE_EQ(RotateY(3, 4, 1, 1, 0), 4.0);
}

TEST(VectorAngleTest, Directions) {
    struct TCase {
        double dx;
        double dy;
        double expected;
    };
    static const TCase kCases[] = {
        // No direction
        {0, 0, 0},
        {1e-15, -1e-15, 0},
        // Within the angle tolerance of the x axis, from either side
        {1, -1e-12, 0},
        {1, 1e-12, 0},
        // Quadrants
        {1, 1, kPi / 4},
        {0, 1, kPi / 2},
        {-1, 0, kPi},
        {0, -1, kFullTurn - kPi / 2},
        {1, -1, kFullTurn - kPi / 4},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dy);
        EXPECT_DOUBLE_EQ(VectorAngle(c.dx, c.dy), c.expected);
    }
    // Just below the axis, beyond the tolerance, is almost the full-turn constant.
    EXPECT_LT(VectorAngle(1, -1e-9), kFullTurn);
    EXPECT_GT(VectorAngle(1, -1e-9), kFullTurn - 2e-9);
}

TEST(VectorAngleTest, Degrees) {
    // The degree factor is 3.14159265358979 / 180, so a half turn is a hair above 180.
    const double half = VectorAngleDeg(-1, 0);
    EXPECT_GT(half, 180.0);
    EXPECT_LT(half, 180.0 + 1e-12);
    EXPECT_EQ(FloatToText(half), u"180");
    EXPECT_EQ(RoundDigits(half, 12, 2), 180.0);
    EXPECT_EQ(RoundDigits(VectorAngleDeg(0, 1), 12, 2), 90.0);
    EXPECT_EQ(RoundDigits(VectorAngleDeg(0, -1), 12, 2), 270.0);
    EXPECT_EQ(VectorAngleDeg(0, 0), 0.0);
}

TEST(PointDistanceTest, Distance) {
    EXPECT_EQ(PointDistance(0, 0, 3, 4), 5.0);
    EXPECT_EQ(PointDistance(3, 4, 0, 0), 5.0);
    EXPECT_EQ(PointDistance(-1, -1, -1, -1), 0.0);
    // Squares beyond the range of a Double stay finite in extended precision.
    EXPECT_DOUBLE_EQ(PointDistance(0, 0, 3e200, 4e200), 5e200);
}

TEST(TextLengthTest, HalfAndFullWidth) {
    struct TCase {
        std::u16string_view text;
        double expected;
    };
    static const TCase kCases[] = {
        {u"", 0},
        {u"AB", 5},
        {u"\u3042\u3044", 10},
        {u"A\u3042", 7.5},
        {u"\uFF71", 2.5},       // half-width katakana
        {u"\U0001F600", 5},     // a surrogate pair is one character
        {u"a\xD83D", 7.5},      // a lone high surrogate at the end
        {u"\xDE00\xD83D", 10},  // a low before a high surrogate: two characters
        {u"\t", 5},
    };
    for (const TCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.text.size() << " units");
        EXPECT_DOUBLE_EQ(TextLength(c.text, 4, 1), c.expected);
    }
}

TEST(SameFloatTest, AbsoluteTolerance) {
    EXPECT_TRUE(SameFloat(1, 1 + 1e-11));
    EXPECT_TRUE(SameFloat(0, -9.9e-11));
    EXPECT_TRUE(SameFloat(-5, -5));
    EXPECT_FALSE(SameFloat(0, 2e-10));
    EXPECT_FALSE(SameFloat(1e20, 1e20 + 1e5));
    EXPECT_FALSE(SameFloat(std::nan(""), std::nan("")));
}

}  // namespace
