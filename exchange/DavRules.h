// DavRules: the rules the entity store and the command writers share: tolerances, the codes
// the host knows, and how an out-of-range attribute is taken.
#pragma once

#include <cmath>  // for std::fabs, std::isfinite, std::trunc
#include <cstddef>
#include <string>
#include <string_view>

#include "exchange/DavKeys.h"
#include "exchange/DavLimits.h"
#include "util/MyFunc.h"

namespace DavRules {

// Lengths, radii, ratios and direction components at or below this size count as none; two
// points closer than this in both coordinates coincide. Measured lengths are brought to
// multiples of it (ten decimals).
inline constexpr double kMinLen = 1e-10;

// Colour code 10 stands for "the solid colour follows" (a 24-bit RGB value).
inline constexpr int kSolidColourCode = 10;
inline constexpr int kMaxSolidColour = 0xFFFFFF;
inline constexpr int kMaxComponent = 255;
inline constexpr int kMaxWidth = 30000;
using DavLimits::kMaxTextType;
inline constexpr int kMaxBasePoint = 8;
using DavLimits::kMaxLayer;
// The sizes of the fixed tables.
using DavLimits::kLayerGroups;
using DavLimits::kLayers;
using DavLimits::kPickedPointSlots;
// Text kinds 0..9 (see DavKeys::kTextKinds); any other kind is horizontal, kind 0.
inline constexpr int kMaxTextKind = 9;

// Marker codes the host knows; any other code is the default marker.
inline constexpr int kMinMarkCode = -7;
inline constexpr int kMaxMarkCode = 11;
inline constexpr int kDefaultMarkCode = -3;

// The codes of the two circular solids: "sc" knows four, "se" two.
inline constexpr int kSolidCodeFull = 100;
inline constexpr int kSolidCodeHalf = 5;
inline constexpr int kSolidCodeNone = 0;
inline constexpr int kSolidCodeOpen = -1;

// Attribute bits and their marks "z1" to "z5".
inline constexpr int kAttrBit1 = 1, kAttrBit2 = 2, kAttrBit3 = 4, kAttrBit4 = 8, kAttrBit5 = 16;

// Every value is a finite number. An infinity or a NaN is no coordinate, size or angle the
// host can take, so a command or an entity holding one is dropped as degenerate geometry is;
// the comparisons of the rules below would let a NaN through.
template <class... V>
bool Finite(V... values) {
    return (std::isfinite(static_cast<double>(values)) && ...);
}

// Two points coincide when both coordinate differences are below the tolerance.
inline bool Coincide(double x1, double y1, double x2, double y2) {
    return std::fabs(x2 - x1) < kMinLen && std::fabs(y2 - y1) < kMinLen;
}

// A direction vector too short to give a text its angle.
inline bool NoDirection(double dx, double dy) {
    return std::fabs(dx) <= kMinLen && std::fabs(dy) <= kMinLen;
}

// A text that would show nothing: empty, or only blanks and control characters.
inline bool IsBlankText(std::u16string_view text) {
    return StripBlanks(text).empty();
}

// A circle or an ellipse needs a positive radius and a flatness ratio of some size.
inline bool HasShape(double r, double h) {
    return r > kMinLen && std::fabs(h) > kMinLen;
}

// A ring needs an inner radius of some size that stays clear of the outer one.
inline bool HasRing(double r, double h, double ri) {
    return HasShape(r, h) && ri > kMinLen && ri < r - kMinLen;
}

// A ratio or scale of no size stands for 1.
inline double OneIfNone(double v) {
    return std::fabs(v) <= kMinLen ? 1.0 : v;
}

constexpr int MarkCode(int cod) {
    return (cod < kMinMarkCode || cod > kMaxMarkCode) ? kDefaultMarkCode : cod;
}

constexpr int TextKind(int no) {
    return (no < 0 || no > kMaxTextKind) ? 0 : no;
}

// The length of a dimension line as its text: ten decimals, halves rounded up. Empty when
// the length is beyond the range of a number (ends near the largest values, far apart).
inline std::u16string MeasuredText(double lx1, double ly1, double lx2, double ly2) {
    const double d = PointDistance(lx1, ly1, lx2, ly2);
    if (!std::isfinite(d)) {
        return {};
    }
    // Near the largest numbers the count of tolerances overflows, and ten decimals mean
    // nothing there: the length is taken as it is.
    const double steps = d / kMinLen;
    return FloatToText(std::isfinite(steps) ? std::trunc(steps + 0.5) * kMinLen : d);
}

// One of the host's ten text types, whose sizes and colour come from its table.
constexpr bool IsTextType(int cn) {
    return cn >= 1 && cn <= kMaxTextType;
}

// -1 is the host's current width; anything outside 0..30000 is 0.
inline int Width(int wid, int current) {
    if (wid == -1) {
        wid = current;
    }
    return (wid < 0 || wid > kMaxWidth) ? 0 : wid;
}

inline int BasePoint(int mbs) {
    return (mbs < 0 || mbs > kMaxBasePoint) ? 0 : mbs;
}

inline int SolidColour(int col) {
    return (col < 0 || col > kMaxSolidColour) ? 0 : col;
}

// Red, green and blue packed into one value; a component outside 0..255 counts as 0.
constexpr int PackRGB(int r, int g, int b) {
    const auto component = [](int c) { return (c < 0 || c > kMaxComponent) ? 0 : c; };
    return component(r) + 256 * component(g) + 65536 * component(b);
}

// An empty font or "<>" is the host's current font.
inline std::u16string_view Font(const std::u16string& fnt, const std::u16string& current) {
    return (fnt.empty() || fnt == DavKeys::kCurrentFont) ? std::u16string_view(current)
                                                         : std::u16string_view(fnt);
}

// The attribute bits 1, 2, 4, 8, 16 that an entity keeps: bit 8 (mark 4) is dropped when bit
// 16 (mark 5) is set, since the host knows only one of them.
inline int AttrBits(int att) {
    int bits = att & (kAttrBit1 | kAttrBit2 | kAttrBit3 | kAttrBit5);
    if ((att & kAttrBit4) != 0 && (att & kAttrBit5) == 0) {
        bits |= kAttrBit4;
    }
    return bits;
}

}  // namespace DavRules
