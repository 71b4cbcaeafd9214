// DavScene: the model's entities as drawing primitives (see DavScene.h), each drawn as its
// kind's description in the kind table says.
#include "scene/DavScene.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "exchange/DavKinds.h"
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

// Builds the primitives: the drawer each kind's Draw (DavKinds.h) calls, entity by entity.
class TBuilder {
public:
    TBuilder(const TJGdata& jg, TScene& scene) : jg_(jg), scene_(scene) {}

    void Entity(int ent, const TDavEntNo& en);
    void Picked();

    // The drawer's colours and primitives.
    int Pen(int col) const { return jg_.GetColorDisp(col); }
    int Solid(int col, int rgb) const { return SolidColorDisp(jg_, col, rgb); }
    void Line(int color, double x1, double y1, double x2, double y2);
    void Circle(int color, double cx, double cy, double r) {
        ArcShape(TPrimKind::Arc, color, {cx, cy, r, 1.0, 0.0, 0.0, 360.0, 0.0});
    }
    void Arc(int color, double cx, double cy, double r, double flat, double tilt, double sa,
             double ea);
    void Sector(int color, double cx, double cy, double r, double flat, double tilt, double sa,
                double da, int code) {
        Filled(TPrimKind::Sector, color, {cx, cy, r, flat, tilt, sa, da, 0.0}, code);
    }
    void Segment(int color, double cx, double cy, double r, double flat, double tilt, double sa,
                 double da, int code) {
        Filled(TPrimKind::Segment, color, {cx, cy, r, flat, tilt, sa, da, 0.0}, code);
    }
    void Ring(int color, double cx, double cy, double r, double flat, double tilt, double sa,
              double da, double inner) {
        Filled(TPrimKind::Ring, color, {cx, cy, r, flat, tilt, sa, da, inner}, 0);
    }
    void Polygon(int color, std::initializer_list<double> xy);
    void Point(int color, double x, double y);
    void Marker(int color, double x, double y, double scale, double angle, int code);
    void Text(const TDavEntText& t);

private:
    // Starts a primitive of the current entity; Keep ends it.
    TScenePrim& New(TPrimKind kind, int color) {
        pending_ = TPending{};
        TScenePrim& p = scene_.prims.emplace_back();
        p.kind = kind;
        p.color = color;
        p.ent = ent_;
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
    // A primitive of one point: a point, a marker or a picked point.
    TScenePrim& AtPoint(TPrimKind kind, int color, double x, double y) {
        TScenePrim& p = New(kind, color);
        p.g[0] = x;
        p.g[1] = y;
        pending_.Add(x, y);
        return p;
    }
    void ArcShape(TPrimKind kind, int color, const TArcGeom& a, int code = 0);
    // A filled arc whose start and sweep are a start angle and a signed swept angle.
    void Filled(TPrimKind kind, int color, TArcGeom a, int code) {
        ArcFromSweep(a.start, a.sweep, a.start, a.sweep);
        ArcShape(kind, color, a, code);
    }

    const TJGdata& jg_;
    TScene& scene_;
    TPending pending_;
    int ent_ = -1;
};

void TBuilder::Line(int color, double x1, double y1, double x2, double y2) {
    TScenePrim& p = New(TPrimKind::Line, color);
    p.g[0] = x1;
    p.g[1] = y1;
    p.g[2] = x2;
    p.g[3] = y2;
    pending_.Add(x1, y1);
    pending_.Add(x2, y2);
    Keep();
}

void TBuilder::Arc(int color, double cx, double cy, double r, double flat, double tilt, double sa,
                   double ea) {
    TArcGeom a{cx, cy, r, flat, tilt, 0.0, 0.0, 0.0};
    ArcFromAngles(sa, ea, a.start, a.sweep);
    ArcShape(TPrimKind::Arc, color, a);
}

void TBuilder::ArcShape(TPrimKind kind, int color, const TArcGeom& a, int code) {
    TScenePrim& p = New(kind, color);
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

void TBuilder::Polygon(int color, std::initializer_list<double> xy) {
    TScenePrim& p = New(TPrimKind::Polygon, color);
    p.n = static_cast<std::uint8_t>(xy.size() / 2);
    std::copy(xy.begin(), xy.end(), p.g);
    for (size_t i = 0; i + 1 < xy.size(); i += 2) {
        pending_.Add(p.g[i], p.g[i + 1]);
    }
    Keep();
}

void TBuilder::Point(int color, double x, double y) {
    AtPoint(TPrimKind::Point, color, x, y);
    Keep();
}

void TBuilder::Marker(int color, double x, double y, double scale, double angle, int code) {
    TScenePrim& p = AtPoint(TPrimKind::Marker, color, x, y);
    p.g[2] = scale;
    p.g[3] = angle;
    p.code = code;
    Keep();
}

// The box a text spans. Horizontal text: along its direction, its drawn length at its
// character width and spacing; across, its character height. Vertical text: across, one
// character width; along the characters, which run downwards, its drawn length at its
// character height and spacing. The base point code picks which of the nine points of that
// box (3 * row + column, rows from the bottom, columns from the left) is the insertion point.
void TBuilder::Text(const TDavEntText& t) {
    TScenePrim& p = New(TPrimKind::Text, jg_.GetColorDisp(t.att.Col));
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

// The entity's record, drawn as its kind describes; nothing for an unknown kind or an entry
// that names no record.
void TBuilder::Entity(int ent, const TDavEntNo& en) {
    ent_ = ent;
    DavKinds::VisitKind(en.yn, [&](auto k) {
        using K = decltype(k);
        if (const typename K::Rec* e = K::At(jg_, en.no)) {
            K::Draw(*this, *e);
        }
    });
}

void TBuilder::Picked() {
    ent_ = -1;
    const int n = static_cast<int>(std::min<size_t>(jg_.IPoints.size(), 100));
    for (int i = 1; i < n; ++i) {
        const TDavIndPoint& ip = jg_.IPoints[static_cast<size_t>(i)];
        if (!ip.flg) {
            continue;
        }
        AtPoint(TPrimKind::Picked, kPickedColor, ip.x, ip.y).code = i;
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
