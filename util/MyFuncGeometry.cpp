// MyFuncGeometry: rounding, rotation, direction, distance and drawn text length.
#include "MyFunc.h"

#include <cmath>

#include "Utf16.h"

namespace {

// Vectors shorter than this in both components have no direction.
constexpr long double kZeroVector = 1e-14L;
// The full turn as the host writes it: the decimal literal, not the exact value of 2 pi.
constexpr long double kFullTurn = 6.28318530717958L;
// Degrees to radians as 3.14159265358979 / 180, held in extended precision.
constexpr long double kDegree = 0.017453292519943277778L;
// Absolute tolerance of SameFloat.
constexpr long double kSameTolerance = 1e-10L;
// Decimal places beyond which RoundDigits cuts to an integer.
constexpr int kMaxRoundDigits = 14;

}  // namespace

double RoundDigits(double value, int digits, int mode) {
    long double f = 1.0L;
    if (digits >= 1 && digits <= kMaxRoundDigits) {
        for (int k = 0; k < digits; ++k) {
            f *= 10.0L;
        }
    }
    long double a = std::fabs(static_cast<long double>(value)) * f;
    switch (mode) {
        case 0: a = std::trunc(a); break;
        case 1: a = std::trunc(a + 0.9L); break;
        default: a = std::trunc(a + 0.5L); break;
    }
    const long double r = a / f;
    return static_cast<double>(value < 0 ? -r : r);
}

double RotateX(double x, double y, double cx, double cy, double ang) {
    const long double c = std::cos(static_cast<long double>(ang));
    const long double s = std::sin(static_cast<long double>(ang));
    return static_cast<double>(cx + (static_cast<long double>(x) - cx) * c -
                               (static_cast<long double>(y) - cy) * s);
}

double RotateY(double x, double y, double cx, double cy, double ang) {
    const long double c = std::cos(static_cast<long double>(ang));
    const long double s = std::sin(static_cast<long double>(ang));
    return static_cast<double>(cy + (static_cast<long double>(x) - cx) * s +
                               (static_cast<long double>(y) - cy) * c);
}

double VectorAngle(double dx, double dy) {
    if (std::fabs(dx) < kZeroVector && std::fabs(dy) < kZeroVector) {
        return 0.0;
    }
    const double a =
        static_cast<double>(std::atan2(static_cast<long double>(dy), static_cast<long double>(dx)));
    // A direction a hair below the x axis is the x axis, not almost a full turn.
    if (SameFloat(a, 0.0)) {
        return 0.0;
    }
    if (a < 0) {
        return static_cast<double>(a + kFullTurn);
    }
    return a;
}

double VectorAngleDeg(double dx, double dy) {
    return static_cast<double>(VectorAngle(dx, dy) / kDegree);
}

double PointDistance(double x1, double y1, double x2, double y2) {
    const long double dx = static_cast<long double>(x2) - x1;
    const long double dy = static_cast<long double>(y2) - y1;
    return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

double TextLength(std::u16string_view text, double w, double d) {
    long double sum = 0.0L;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const std::u16string_view unit = text.substr(i, 1);
        if (IsHalfWidth(unit)) {
            sum += static_cast<long double>(w) / 2;
            sum += static_cast<long double>(d) / 2;
            continue;
        }
        // A surrogate pair is one character.
        if (Utf16::IsPairAt(text, i)) {
            ++i;
        }
        sum += w;
        sum += d;
    }
    return static_cast<double>(sum);
}

bool SameFloat(double a, double b) {
    return std::fabs(static_cast<long double>(a) - static_cast<long double>(b)) <= kSameTolerance;
}
