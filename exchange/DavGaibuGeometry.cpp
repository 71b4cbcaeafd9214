// DavGaibuGeometry: the geometry commands of TJGdata, which drop degenerate entities, and
// those with a value that is no finite number, before they reach the host.
#include "DavGaibu.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "exchange/DavCommandLine.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"

using DavCommandLine::MakeLine;
using DavRules::Finite;
using namespace DavKinds;

// Writes a line segment as four numbers with no keyword.
void TJGdata::S_Line(double x1, double y1, double x2, double y2) {
    if (!Finite(x1, y1, x2, y2) || !TLine::Valid(x1, y1, x2, y2)) {
        return;
    }
    SendMem(MakeLine(TLine::kKey, x1, y1, x2, y2));
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
    if (!Finite(px1, py1, px2, py2)) {
        return;
    }
    t_PLineN = CountIn(t_PLineN, t_PLine) + 1;
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
    const int n = CountIn(t_PLineN, t_PLine);
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
    if (!Finite(x, y)) {
        return;
    }
    SendMem(MakeLine(TPoint::kKey, x, y));
}

// Writes a marker: "pt x y bai ang cod". An unknown code becomes the default marker and a
// scale of no size becomes 1.
void TJGdata::S_Mark(double x, double y, double bai, double ang, int cod) {
    if (!Finite(x, y, bai, ang)) {
        return;
    }
    TMark::Normalise(bai, cod);
    SendMem(MakeLine(TMark::kKey, x, y, bai, ang, cod));
}

// Writes a circle: "ci x y r".
void TJGdata::S_Circle(double x, double y, double r) {
    if (!Finite(x, y, r) || !TCircle::Valid(r)) {
        return;
    }
    SendMem(MakeLine(TCircle::kKey, x, y, r));
}

// Writes an arc or an elliptic arc: "ci x y r sa ea h ka".
void TJGdata::S_Arc(double x, double y, double r, double sa, double ea, double h, double ka) {
    if (!Finite(x, y, r, sa, ea, h, ka) || !TArc::Valid(r, h)) {
        return;
    }
    SendMem(MakeLine(TArc::kKey, x, y, r, sa, ea, h, ka));
}

// Writes a two-point solid: "sl x1 y1 x2 y2".
void TJGdata::S_Solid2(double x1, double y1, double x2, double y2) {
    if (!Finite(x1, y1, x2, y2) || !TSolid2::Valid(x1, y1, x2, y2)) {
        return;
    }
    SendMem(MakeLine(TSolid2::kKey, x1, y1, x2, y2));
}

// Writes a triangle: "sl" and three points, none of them coinciding with another.
void TJGdata::S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3) {
    if (!Finite(x1, y1, x2, y2, x3, y3) || !TSolid3::Valid(x1, y1, x2, y2, x3, y3)) {
        return;
    }
    SendMem(MakeLine(TSolid3::kKey, x1, y1, x2, y2, x3, y3));
}

// Writes a quadrilateral: "sl" and four points, or what is left of it (TSolid4::Reduce).
void TJGdata::S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                       double y4) {
    if (!Finite(x1, y1, x2, y2, x3, y3, x4, y4)) {
        return;
    }
    TSolid4::Reduce(
        x1, y1, x2, y2, x3, y3, x4, y4,
        [this](double ax, double ay, double bx, double by, double cx, double cy) {
            S_Solid3(ax, ay, bx, by, cx, cy);
        },
        [&] { SendMem(MakeLine(TSolid4::kKey, x1, y1, x2, y2, x3, y3, x4, y4)); });
}

// Writes a circular solid: "sc x y r h ka sa da cod", for the codes 100, 5, 0 and -1.
void TJGdata::S_SolidC(double x, double y, double r, double h, double ka, double sa, double da,
                       int cod) {
    if (!Finite(x, y, r, h, ka, sa, da) || !TSolidC::Valid(r, h, cod)) {
        return;
    }
    SendMem(MakeLine(TSolidC::kKey, x, y, r, h, ka, sa, da, cod));
}

// Writes a circular solid of the other kind: "se x y r h ka sa da cod", codes 100 and 0.
void TJGdata::S_SolidD(double x, double y, double r, double h, double ka, double sa, double da,
                       int cod) {
    if (!Finite(x, y, r, h, ka, sa, da) || !TSolidE::Valid(r, h, cod)) {
        return;
    }
    SendMem(MakeLine(TSolidE::kKey, x, y, r, h, ka, sa, da, cod));
}

// Writes a ring solid: "so x y r h ka sa da ri".
void TJGdata::S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
    if (!Finite(x, y, r, h, ka, sa, da, ri) || !TSolidO::Valid(r, h, ri)) {
        return;
    }
    SendMem(MakeLine(TSolidO::kKey, x, y, r, h, ka, sa, da, ri));
}

// Writes a ring solid of the other kind: "sg x y r h ka sa da ri".
void TJGdata::S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
    if (!Finite(x, y, r, h, ka, sa, da, ri) || !TSolidG::Valid(r, h, ri)) {
        return;
    }
    SendMem(MakeLine(TSolidG::kKey, x, y, r, h, ka, sa, da, ri));
}
