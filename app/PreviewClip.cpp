// PreviewClip: segments and polygons cut to a rectangle (see PreviewClip.h).
#include "PreviewClip.h"

#include <algorithm>
#include <cmath>
#include <utility>  // for std::pair

namespace {

bool Finite(const TClipPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// The point at t (0 to 1) from a to b, as (1 - t) a + t b: between a and b, so never beyond
// the range of numbers.
TClipPoint Between(const TClipPoint& a, const TClipPoint& b, double t) {
    return {(1.0 - t) * a.x + t * b.x, (1.0 - t) * a.y + t * b.y};
}

// Where a line through u (at 0) and v (at 1) meets the value edge, as a fraction of the way,
// in halves so that neither difference overflows. u and v lie on different sides of edge.
double Crossing(double u, double v, double edge) {
    const double t = (edge / 2 - u / 2) / (v / 2 - u / 2);
    return std::clamp(std::isfinite(t) ? t : 0.0, 0.0, 1.0);
}

// One edge of the rectangle: which coordinate, its value, and which side is kept.
struct TEdge {
    bool y;
    double value;
    bool keepAbove;

    double Of(const TClipPoint& p) const { return y ? p.y : p.x; }
    bool Keeps(const TClipPoint& p) const { return keepAbove ? Of(p) >= value : Of(p) <= value; }
};

}  // namespace

// Liang and Barsky: the part of the segment between the latest entry and the earliest exit.
bool ClipSegment(TClipPoint& a, TClipPoint& b, const TFrameRect& r) {
    if (!Finite(a) || !Finite(b)) {
        return false;
    }
    if (Inside(a, r) && Inside(b, r)) {
        return true;
    }
    double t0 = 0.0, t1 = 1.0;
    const TEdge* e0 = nullptr;
    const TEdge* e1 = nullptr;
    const TEdge edges[] = {
        {false, r.x1, true}, {false, r.x2, false}, {true, r.y1, true}, {true, r.y2, false}};
    for (const TEdge& e : edges) {
        const bool ka = e.Keeps(a), kb = e.Keeps(b);
        if (!ka && !kb) {
            return false;
        }
        if (ka != kb) {
            const double t = Crossing(e.Of(a), e.Of(b), e.value);
            if (ka && t < t1) {
                t1 = t;
                e1 = &e;
            } else if (!ka && t > t0) {
                t0 = t;
                e0 = &e;
            }
        }
    }
    if (t0 > t1) {
        return false;
    }
    // An end cut by an edge lies on it exactly. Between two points far beyond the rectangle
    // the rest of the point is only as exact as their size allows: it is kept within r.
    TClipPoint na = Between(a, b, t0), nb = Between(a, b, t1);
    for (auto [p, e] : {std::pair{&na, e0}, std::pair{&nb, e1}}) {
        if (e != nullptr) {
            (e->y ? p->y : p->x) = e->value;
        }
        p->x = std::clamp(p->x, r.x1, r.x2);
        p->y = std::clamp(p->y, r.y1, r.y2);
    }
    a = na;
    b = nb;
    return true;
}

std::vector<TClipPoint> ClipPolygon(const std::vector<TClipPoint>& corners, const TFrameRect& r) {
    if (!std::all_of(corners.begin(), corners.end(), Finite)) {
        return {};
    }
    std::vector<TClipPoint> in = corners, out;
    const TEdge edges[] = {
        {false, r.x1, true}, {false, r.x2, false}, {true, r.y1, true}, {true, r.y2, false}};
    for (const TEdge& e : edges) {
        out.clear();
        for (size_t i = 0; i < in.size(); ++i) {
            const TClipPoint& p = in[i];
            const TClipPoint& q = in[(i + 1) % in.size()];
            const bool kp = e.Keeps(p), kq = e.Keeps(q);
            if (kp) {
                out.push_back(p);
            }
            if (kp != kq) {
                TClipPoint c = Between(p, q, Crossing(e.Of(p), e.Of(q), e.value));
                // The crossing lies on the edge, whatever the rounding.
                (e.y ? c.y : c.x) = e.value;
                c.x = std::clamp(c.x, r.x1, r.x2);
                c.y = std::clamp(c.y, r.y1, r.y2);
                out.push_back(c);
            }
        }
        in.swap(out);
    }
    return in;
}
