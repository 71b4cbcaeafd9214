// DavScene: the model's entities as drawing primitives (see DavScene.h).
#include "scene/DavScene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "exchange/DavRules.h"
#include "util/MyFunc.h"

namespace DavScene {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
// The colour of the picked points and their numbers: red.
constexpr int kPickedColor = 255;

bool Finite(double v) {
    return std::isfinite(v);
}

// The record at index no of a list, or nullptr when the index is outside its count.
template <class T>
const T* At(const std::vector<T>& list, int count, int no) {
    if (no < 0 || no >= count || static_cast<size_t>(no) >= list.size()) {
        return nullptr;
    }
    return &list[static_cast<size_t>(no)];
}

// Brings a sweep into (0, 360]: no sweep, a whole turn or more, or a value that is not a
// number draws the whole curve.
double WholeOrPart(double sweep) {
    if (!Finite(sweep) || sweep == 0.0 || std::fabs(sweep) >= 360.0) {
        return 360.0;
    }
    return sweep;
}

// The two angles of an arc record, from the first counter-clockwise to the second.
void ArcFromAngles(double sa, double ea, double& start, double& sweep) {
    start = sa;
    double s = std::fmod(ea - sa, 360.0);
    if (Finite(s) && s < 0.0) {
        s += 360.0;
    }
    sweep = (Finite(s) && s > 0.0) ? s : 360.0;
}

// A start angle and a signed swept angle, turned counter-clockwise.
void ArcFromSweep(double sa, double da, double& start, double& sweep) {
    const double s = WholeOrPart(da);
    if (s < 0.0) {
        start = sa + s;
        sweep = -s;
    } else {
        start = sa;
        sweep = s;
    }
}

// Whether parameter t (degrees) lies on the arc from start over sweep.
bool OnArc(double t, double start, double sweep) {
    if (sweep >= 360.0) {
        return true;
    }
    double d = std::fmod(t - start, 360.0);
    if (d < 0.0) {
        d += 360.0;
    }
    return d <= sweep;
}

// The points of one primitive as it is built: their bounds, and whether all were finite.
struct TPending {
    TBounds bounds;
    bool finite = true;

    void Add(double x, double y) {
        finite = finite && Finite(x) && Finite(y);
        bounds.Add(x, y);
    }
};

void AddArcBounds(TPending& b, const TArcGeom& a, double r) {
    TArcGeom g = a;
    g.r = r;
    double x = 0.0, y = 0.0;
    ArcPoint(g, a.start, x, y);
    b.Add(x, y);
    ArcPoint(g, a.start + a.sweep, x, y);
    b.Add(x, y);
    // The parameters where x and where y reach their extremes, each twice half a turn apart.
    const double k = a.tilt * kDeg;
    const double ra = 1.0;
    const double rb = a.flat;
    const double tx = std::atan2(-rb * std::sin(k), ra * std::cos(k)) / kDeg;
    const double ty = std::atan2(rb * std::cos(k), ra * std::sin(k)) / kDeg;
    for (double t : {tx, tx + 180.0, ty, ty + 180.0}) {
        if (OnArc(t, a.start, a.sweep)) {
            ArcPoint(g, t, x, y);
            b.Add(x, y);
        }
    }
}

class TBuilder {
public:
    TBuilder(const TJGdata& jg, TScene& scene) : jg_(jg), scene_(scene) {}

    void Entity(int ent, const TDavEntNo& en);
    void Picked();

private:
    // Starts a primitive; Keep ends it.
    TScenePrim& New(TPrimKind kind, int color, int ent) {
        pending_ = TPending{};
        TScenePrim& p = scene_.prims.emplace_back();
        p.kind = kind;
        p.color = color;
        p.ent = ent;
        return p;
    }
    // Keeps the primitive just built, and its points in the scene's bounds, when its numbers
    // and every point of it are finite; else leaves it out and counts it.
    void Keep() {
        const TScenePrim& p = scene_.prims.back();
        if (pending_.finite && std::all_of(std::begin(p.g), std::end(p.g), Finite)) {
            if (!pending_.bounds.empty) {
                scene_.bounds.Add(pending_.bounds.x1, pending_.bounds.y1);
                scene_.bounds.Add(pending_.bounds.x2, pending_.bounds.y2);
            }
            return;
        }
        scene_.prims.pop_back();
        ++scene_.leftOut;
    }
    void Line(int ent, int color, double x1, double y1, double x2, double y2);
    void ArcShape(TPrimKind kind, int ent, int color, const TArcGeom& a, int code = 0);
    void Polygon(int ent, int color, std::initializer_list<double> xy);
    void Text(int ent, const TDavEntText& t);

    const TJGdata& jg_;
    TScene& scene_;
    TPending pending_;
};

void TBuilder::Line(int ent, int color, double x1, double y1, double x2, double y2) {
    TScenePrim& p = New(TPrimKind::Line, color, ent);
    p.g[0] = x1;
    p.g[1] = y1;
    p.g[2] = x2;
    p.g[3] = y2;
    pending_.Add(x1, y1);
    pending_.Add(x2, y2);
    Keep();
}

void TBuilder::ArcShape(TPrimKind kind, int ent, int color, const TArcGeom& a, int code) {
    TScenePrim& p = New(kind, color, ent);
    const double v[8] = {a.cx, a.cy, a.r, a.flat, a.tilt, a.start, a.sweep, a.inner};
    std::copy(std::begin(v), std::end(v), p.g);
    p.code = code;
    AddArcBounds(pending_, a, a.r);
    if (kind == TPrimKind::Sector) {
        pending_.Add(a.cx, a.cy);
    } else if (kind == TPrimKind::Ring) {
        AddArcBounds(pending_, a, a.inner);
    }
    Keep();
}

void TBuilder::Polygon(int ent, int color, std::initializer_list<double> xy) {
    TScenePrim& p = New(TPrimKind::Polygon, color, ent);
    p.n = static_cast<std::uint8_t>(xy.size() / 2);
    std::copy(xy.begin(), xy.end(), p.g);
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        pending_.Add(p.g[i], p.g[i + 1]);
    }
    Keep();
}

// The box a text spans. Horizontal text: along its direction, its drawn length at its
// character width and spacing; across, its character height. Vertical text: across, one
// character width; along the characters, which run downwards, its drawn length at its
// character height and spacing. The base point code picks which of the nine points of that
// box (3 * row + column, rows from the bottom, columns from the left) is the insertion point.
void TBuilder::Text(int ent, const TDavEntText& t) {
    TScenePrim& p = New(TPrimKind::Text, jg_.GetColorDisp(t.att.Col), ent);
    p.text = &t;
    p.vertical = DavRules::TextKind(t.no) == 1;
    const double ang = DavRules::NoDirection(t.x2, t.y2) ? 0.0 : std::atan2(t.y2, t.x2);
    const double c = std::cos(ang), s = std::sin(ang);
    double across = 0.0, up = 0.0;
    if (p.vertical) {
        across = t.mw;
        up = TextLength(t.st, t.mh, t.md);
    } else {
        across = TextLength(t.st, t.mw, t.md);
        up = t.mh;
    }
    const int cc = (t.cc >= 0 && t.cc <= 8) ? t.cc : 0;
    const double fx = (cc % 3) * 0.5, fy = (cc / 3) * 0.5;
    const double ux = across * c, uy = across * s;
    const double vx = -up * s, vy = up * c;
    p.g[0] = t.x1 - fx * ux - fy * vx;
    p.g[1] = t.y1 - fx * uy - fy * vy;
    p.g[2] = ux;
    p.g[3] = uy;
    p.g[4] = vx;
    p.g[5] = vy;
    p.g[6] = t.mw;
    p.g[7] = t.mh;
    double x[4], y[4];
    TextCorners(p, x, y);
    for (int i = 0; i < 4; ++i) {
        pending_.Add(x[i], y[i]);
    }
    Keep();
}

void TBuilder::Entity(int ent, const TDavEntNo& en) {
    switch (en.yn) {
        case kKindLine:
            if (const TDavEntLine* e = At(jg_.EntLine, jg_.EntLineN, en.no)) {
                Line(ent, jg_.GetColorDisp(e->att.Col), e->x1, e->y1, e->x2, e->y2);
            }
            break;
        case kKindCircle:
            if (const TDavEntCircle* e = At(jg_.EntCirc, jg_.EntCircN, en.no)) {
                ArcShape(TPrimKind::Arc, ent, jg_.GetColorDisp(e->att.Col),
                         {e->cx, e->cy, e->cr, 1.0, 0.0, 0.0, 360.0, 0.0});
            }
            break;
        case kKindArc:
            if (const TDavEntArc* e = At(jg_.EntArc, jg_.EntArcN, en.no)) {
                TArcGeom a{e->cx, e->cy, e->cr, e->he, e->ka, 0.0, 0.0, 0.0};
                ArcFromAngles(e->sa, e->ea, a.start, a.sweep);
                ArcShape(TPrimKind::Arc, ent, jg_.GetColorDisp(e->att.Col), a);
            }
            break;
        case kKindText:
            if (const TDavEntText* e = At(jg_.EntText, jg_.EntTextN, en.no)) {
                Text(ent, *e);
            }
            break;
        case kKindPoint:
            if (const TDavEntPnt* e = At(jg_.EntPnt, jg_.EntPntN, en.no)) {
                TScenePrim& p = New(TPrimKind::Point, jg_.GetColorDisp(e->att.Col), ent);
                p.g[0] = e->px;
                p.g[1] = e->py;
                pending_.Add(e->px, e->py);
                Keep();
            }
            break;
        case kKindMark:
            if (const TDavEntMark* e = At(jg_.EntMark, jg_.EntMarkN, en.no)) {
                TScenePrim& p = New(TPrimKind::Marker, jg_.GetColorDisp(e->att.Col), ent);
                p.g[0] = e->px;
                p.g[1] = e->py;
                p.g[2] = DavRules::OneIfNone(e->bai);
                p.g[3] = e->ang;
                p.code = e->cod;
                pending_.Add(e->px, e->py);
                Keep();
            }
            break;
        case kKindDim:
            if (const TDavEntDim* e = At(jg_.EntDim, jg_.EntDimN, en.no)) {
                Line(ent, jg_.GetColorDisp(e->lin.att.Col), e->lin.x1, e->lin.y1, e->lin.x2,
                     e->lin.y2);
                Text(ent, e->txt);
            }
            break;
        case kKindBlock:
            // A block insert shows where it sits; its contents are the host's.
            if (const TDavEntBlk* e = At(jg_.EntBlk, jg_.EntBlkN, en.no)) {
                TScenePrim& p = New(TPrimKind::Point, jg_.GetColorDisp(e->att.Col), ent);
                p.g[0] = e->px;
                p.g[1] = e->py;
                pending_.Add(e->px, e->py);
                Keep();
            }
            break;
        case kKindSolid2:
            // A two-point solid is a band between its points: drawn as a line of its width.
            if (const TDavEntSld2* e = At(jg_.EntSld2, jg_.EntSld2N, en.no)) {
                Polygon(ent, SolidColorDisp(jg_, e->att.Col, e->Color),
                        {e->x1, e->y1, e->x2, e->y2});
            }
            break;
        case kKindSolid3:
            if (const TDavEntSld3* e = At(jg_.EntSld3, jg_.EntSld3N, en.no)) {
                Polygon(ent, SolidColorDisp(jg_, e->att.Col, e->Color),
                        {e->x1, e->y1, e->x2, e->y2, e->x3, e->y3});
            }
            break;
        case kKindSolid4:
            if (const TDavEntSld4* e = At(jg_.EntSld4, jg_.EntSld4N, en.no)) {
                Polygon(ent, SolidColorDisp(jg_, e->att.Col, e->Color),
                        {e->x1, e->y1, e->x2, e->y2, e->x3, e->y3, e->x4, e->y4});
            }
            break;
        case kKindSolidC:
        case kKindSolidE: {
            const bool sector = en.yn == kKindSolidC;
            const TDavEntSldC* e = sector ? At(jg_.EntSldC, jg_.EntSldCN, en.no)
                                          : At(jg_.EntSldE, jg_.EntSldEN, en.no);
            if (e) {
                TArcGeom a{e->cx, e->cy, e->cr, e->he, e->ka, 0.0, 0.0, 0.0};
                ArcFromSweep(e->sa, e->da, a.start, a.sweep);
                ArcShape(sector ? TPrimKind::Sector : TPrimKind::Segment, ent,
                         SolidColorDisp(jg_, e->att.Col, e->Color), a, e->fl);
            }
            break;
        }
        case kKindSolidO:
        case kKindSolidG: {
            const TDavEntSldD* e = en.yn == kKindSolidO ? At(jg_.EntSldO, jg_.EntSldON, en.no)
                                                        : At(jg_.EntSldG, jg_.EntSldGN, en.no);
            if (e) {
                TArcGeom a{e->cx, e->cy, e->cr, e->he, e->ka, 0.0, 0.0, e->ri};
                ArcFromSweep(e->sa, e->da, a.start, a.sweep);
                ArcShape(TPrimKind::Ring, ent, SolidColorDisp(jg_, e->att.Col, e->Color), a);
            }
            break;
        }
        default: break;
    }
}

void TBuilder::Picked() {
    const int n = static_cast<int>(std::min<size_t>(jg_.IPoints.size(), 100));
    for (int i = 1; i < n; ++i) {
        const TDavIndPoint& ip = jg_.IPoints[static_cast<size_t>(i)];
        if (!ip.flg) {
            continue;
        }
        TScenePrim& p = New(TPrimKind::Picked, kPickedColor, -1);
        p.g[0] = ip.x;
        p.g[1] = ip.y;
        p.code = i;
        pending_.Add(ip.x, ip.y);
        Keep();
    }
}

}  // namespace

void TBounds::Add(double x, double y) {
    if (!Finite(x) || !Finite(y)) {
        return;
    }
    if (empty) {
        x1 = x2 = x;
        y1 = y2 = y;
        empty = false;
        return;
    }
    x1 = std::min(x1, x);
    y1 = std::min(y1, y);
    x2 = std::max(x2, x);
    y2 = std::max(y2, y);
}

int SolidColorDisp(const TJGdata& jg, int col, int rgb) {
    if (col == DavRules::kSolidColourCode) {
        return (rgb >= 0 && rgb <= 0xFFFFFF) ? rgb : 0;
    }
    return jg.GetColorDisp(col);
}

void ArcPoint(const TArcGeom& a, double tDeg, double& x, double& y) {
    const double t = tDeg * kDeg, k = a.tilt * kDeg;
    const double px = a.r * std::cos(t), py = a.r * a.flat * std::sin(t);
    x = a.cx + px * std::cos(k) - py * std::sin(k);
    y = a.cy + px * std::sin(k) + py * std::cos(k);
}

void ArcInnerPoint(const TArcGeom& a, double tDeg, double& x, double& y) {
    TArcGeom g = a;
    g.r = a.inner;
    ArcPoint(g, tDeg, x, y);
}

void TextCorners(const TScenePrim& p, double (&x)[4], double (&y)[4]) {
    x[0] = p.g[0];
    y[0] = p.g[1];
    x[1] = p.g[0] + p.g[2];
    y[1] = p.g[1] + p.g[3];
    x[2] = x[1] + p.g[4];
    y[2] = y[1] + p.g[5];
    x[3] = p.g[0] + p.g[4];
    y[3] = p.g[1] + p.g[5];
}

TScene BuildScene(const TJGdata& jg) {
    TScene scene;
    const int n = std::min<int>(jg.EntN, static_cast<int>(jg.EntNo.size()));
    scene.prims.reserve(static_cast<size_t>(std::max(n, 0)) + 100);
    TBuilder b(jg, scene);
    for (int i = 0; i < n; ++i) {
        b.Entity(i, jg.EntNo[static_cast<size_t>(i)]);
    }
    b.Picked();
    return scene;
}

}  // namespace DavScene
