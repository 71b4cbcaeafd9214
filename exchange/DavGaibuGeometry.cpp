// DavGaibuGeometry: the geometry commands of TJGdata, which drop degenerate entities before
// they reach the host.
#include "DavGaibu.h"

#include <algorithm>
#include <cmath>  // for std::fabs
#include <string>
#include <vector>

#include "exchange/DavCommandLine.h"
#include "exchange/DavKeys.h"

using DavCommandLine::MakeLine;

namespace {

// Lengths, radii and ratios at or below this size count as none.
constexpr double kMinLen = 1e-10;

// Marker codes the host knows; any other code is the default marker.
constexpr int kMinMarkCode = -7;
constexpr int kMaxMarkCode = 11;
constexpr int kDefaultMarkCode = -3;

// Two points coincide when they are closer than kMinLen in both coordinates.
bool Coincide(double x1, double y1, double x2, double y2) {
    return std::fabs(x2 - x1) < kMinLen && std::fabs(y2 - y1) < kMinLen;
}

// A circle or an ellipse needs a positive radius and a flatness ratio of some size.
bool HasShape(double r, double h) {
    return r > kMinLen && std::fabs(h) > kMinLen;
}

// A ring needs an inner radius of some size that stays clear of the outer one.
bool HasRing(double r, double h, double ri) {
    return HasShape(r, h) && ri > kMinLen && ri < r - kMinLen;
}

}  // namespace

// Writes a line segment as four numbers with no keyword.
void TJGdata::S_Line(double x1, double y1, double x2, double y2) {
    if (Coincide(x1, y1, x2, y2)) {
        return;
    }
    SendMem(MakeLine(u"", x1, y1, x2, y2));
}

// Opens a polyline block.
void TJGdata::S_PLineStart() {
    SendMem(std::u16string(DavKeys::kPolylineStart));
}

// Closes a polyline block.
void TJGdata::S_PLineEnd() {
    SendMem(std::u16string(DavKeys::kGroupEnd));
}

// Adds a segment to the polyline buffer; nothing is sent yet.
void TJGdata::S_PLineSet(double px1, double py1, double px2, double py2) {
    ++t_PLineN;
    t_PLine.resize(static_cast<std::size_t>(t_PLineN));
    t_PLine.back() = TDavPLine{px1, py1, px2, py2};
}

// Empties the polyline buffer and gives its storage back.
void TJGdata::S_PLineReset() {
    t_PLineN = 0;
    std::vector<TDavPLine>().swap(t_PLine);
}

// Sends the buffered segments: one segment alone as a plain line, two or more as a block
// between "pl" and "#". The buffer is kept.
void TJGdata::S_PLine() {
    const int n = std::min(t_PLineN, static_cast<int>(t_PLine.size()));
    if (n <= 0) {
        return;
    }
    if (n == 1) {
        const TDavPLine& s = t_PLine[0];
        S_Line(s.x1, s.y1, s.x2, s.y2);
        return;
    }
    S_PLineStart();
    for (int i = 0; i < n; ++i) {
        const TDavPLine& s = t_PLine[static_cast<std::size_t>(i)];
        S_Line(s.x1, s.y1, s.x2, s.y2);
    }
    S_PLineEnd();
}

// Writes a point: "pt x y".
void TJGdata::S_Ten(double x, double y) {
    SendMem(MakeLine(DavKeys::kPoint, x, y));
}

// Writes a marker: "pt x y bai ang cod". An unknown code becomes the default marker and a
// scale of no size becomes 1.
void TJGdata::S_Mark(double x, double y, double bai, double ang, int cod) {
    if (cod < kMinMarkCode || cod > kMaxMarkCode) {
        cod = kDefaultMarkCode;
    }
    if (std::fabs(bai) <= kMinLen) {
        bai = 1.0;
    }
    SendMem(MakeLine(DavKeys::kPoint, x, y, bai, ang, cod));
}

// Writes a circle: "ci x y r".
void TJGdata::S_Circle(double x, double y, double r) {
    if (r <= kMinLen) {
        return;
    }
    SendMem(MakeLine(DavKeys::kCircle, x, y, r));
}

// Writes an arc or an elliptic arc: "ci x y r sa ea h ka".
void TJGdata::S_Arc(double x, double y, double r, double sa, double ea, double h, double ka) {
    if (!HasShape(r, h)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kCircle, x, y, r, sa, ea, h, ka));
}

// Writes a two-point solid: "sl x1 y1 x2 y2".
void TJGdata::S_Solid2(double x1, double y1, double x2, double y2) {
    if (Coincide(x1, y1, x2, y2)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolid, x1, y1, x2, y2));
}

// Writes a triangle: "sl" and three points, none of them coinciding with another.
void TJGdata::S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (Coincide(x1, y1, x2, y2) || Coincide(x2, y2, x3, y3) || Coincide(x1, y1, x3, y3)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolid, x1, y1, x2, y2, x3, y3));
}

// Writes a quadrilateral: "sl" and four points. Two coinciding neighbours leave the
// triangle of the other three; coinciding diagonal corners leave nothing.
void TJGdata::S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                       double y4) {
    if (Coincide(x1, y1, x2, y2)) {
        S_Solid3(x1, y1, x3, y3, x4, y4);
    } else if (Coincide(x1, y1, x3, y3)) {
        return;
    } else if (Coincide(x1, y1, x4, y4)) {
        S_Solid3(x1, y1, x2, y2, x3, y3);
    } else if (Coincide(x2, y2, x3, y3)) {
        S_Solid3(x1, y1, x2, y2, x4, y4);
    } else if (Coincide(x2, y2, x4, y4)) {
        return;
    } else if (Coincide(x3, y3, x4, y4)) {
        S_Solid3(x1, y1, x2, y2, x3, y3);
    } else {
        SendMem(MakeLine(DavKeys::kSolid, x1, y1, x2, y2, x3, y3, x4, y4));
    }
}

// Writes a circular solid: "sc x y r h ka sa da cod", for the codes 100, 5, 0 and -1.
void TJGdata::S_SolidC(double x, double y, double r, double h, double ka, double sa, double da,
                       int cod) {
    if (!HasShape(r, h) || (cod != 100 && cod != 5 && cod != 0 && cod != -1)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolidC, x, y, r, h, ka, sa, da, cod));
}

// Writes a circular solid of the other kind: "se x y r h ka sa da cod", codes 100 and 0.
void TJGdata::S_SolidD(double x, double y, double r, double h, double ka, double sa, double da,
                       int cod) {
    if (!HasShape(r, h) || (cod != 100 && cod != 0)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolidE, x, y, r, h, ka, sa, da, cod));
}

// Writes a ring solid: "so x y r h ka sa da ri".
void TJGdata::S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
    if (!HasRing(r, h, ri)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolidO, x, y, r, h, ka, sa, da, ri));
}

// Writes a ring solid of the other kind: "sg x y r h ka sa da ri".
void TJGdata::S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
    if (!HasRing(r, h, ri)) {
        return;
    }
    SendMem(MakeLine(DavKeys::kSolidG, x, y, r, h, ka, sa, da, ri));
}
