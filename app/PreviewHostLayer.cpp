// PreviewHostLayer: the host's entities and picked points, drawn for the preview.
#include "PreviewHostLayer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <vector>

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

#include "exchange/DavGaibu.h"
#include "util/MyFunc.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// An arc is drawn as a polyline of at most this many segments, fewer when it is small on the
// screen.
constexpr int kMaxArcSegments = 128;
constexpr double kPixelsPerSegment = 4.0;
constexpr int kPointMark = 2;        // half size of a point's cross, pixels
constexpr int kPickedMark = 5;       // half size of a picked point's cross, pixels
const QColor kPickedColour(0, 90, 255);

// The host's colours are made for a dark ground: those too pale for white paper are drawn
// dark grey instead.
QColor DisplayColour(const TJGdata& jg, int col) {
    const int rgb = jg.GetColorDisp(col);
    QColor c(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    if (c.red() * 299 + c.green() * 587 + c.blue() * 114 > 200 * 1000) {
        return QColor(80, 80, 80);
    }
    return c;
}

// The entities' line segments, gathered by colour so that each colour is one draw call.
class TBatches {
public:
    explicit TBatches(const TJGdata& jg, const QTransform& t) : jg_(jg), t_(t) {}

    void Line(int col, double x1, double y1, double x2, double y2) {
        Lines(col).emplace_back(t_.map(QPointF(x1, y1)), t_.map(QPointF(x2, y2)));
    }

    // An elliptic arc: radius r along the tilt, r x flat across it, from angle a0 over the
    // sweep (degrees, counter-clockwise).
    void Arc(int col, double cx, double cy, double r, double flat, double tilt, double a0,
             double sweep) {
        if (!(r > 0.0) || !std::isfinite(r) || !std::isfinite(flat) || !std::isfinite(sweep)) {
            return;
        }
        // As many segments as the arc's length on the screen needs: a circle a few pixels
        // across is a triangle, which is all the pixels can show.
        const double screenR = r * std::max(1.0, std::fabs(flat)) * Scale();
        const double screenLength = screenR * std::min(std::fabs(sweep), 360.0) * kDegree;
        const int segments = std::clamp(static_cast<int>(screenLength / kPixelsPerSegment) + 1,
                                        std::fabs(sweep) >= 360.0 ? 3 : 1, kMaxArcSegments);
        const double ct = std::cos(tilt * kDegree);
        const double st = std::sin(tilt * kDegree);
        QPointF prev;
        std::vector<QLineF>& out = Lines(col);
        for (int i = 0; i <= segments; ++i) {
            const double a = (a0 + sweep * i / segments) * kDegree;
            const double ex = r * std::cos(a);
            const double ey = r * flat * std::sin(a);
            const QPointF pt = t_.map(QPointF(cx + ex * ct - ey * st, cy + ex * st + ey * ct));
            if (i > 0) {
                out.emplace_back(prev, pt);
            }
            prev = pt;
        }
    }

    void Polygon(int col, const QPolygonF& host) {
        polygons_[col].push_back(t_.map(host));
    }

    void Mark(int col, double x, double y) {
        const QPointF c = t_.map(QPointF(x, y));
        std::vector<QLineF>& out = Lines(col);
        out.emplace_back(c.x() - kPointMark, c.y(), c.x() + kPointMark, c.y());
        out.emplace_back(c.x(), c.y() - kPointMark, c.x(), c.y() + kPointMark);
    }

    void Draw(QPainter& painter) {
        for (auto& [col, polys] : polygons_) {
            const QColor c = Colour(col);
            painter.setPen(Qt::NoPen);
            painter.setBrush(c);
            for (const QPolygonF& poly : polys) {
                painter.drawPolygon(poly);
            }
        }
        painter.setBrush(Qt::NoBrush);
        for (auto& [col, lines] : lines_) {
            painter.setPen(QPen(Colour(col), 0));
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
    }

private:
    double Scale() const { return std::hypot(t_.m11(), t_.m12()); }

    std::vector<QLineF>& Lines(int col) { return lines_[col]; }

    QColor Colour(int col) {
        auto it = colours_.find(col);
        if (it == colours_.end()) {
            it = colours_.emplace(col, DisplayColour(jg_, col)).first;
        }
        return it->second;
    }

    const TJGdata& jg_;
    const QTransform& t_;
    std::unordered_map<int, std::vector<QLineF>> lines_;
    std::unordered_map<int, std::vector<QPolygonF>> polygons_;
    std::unordered_map<int, QColor> colours_;
};

template <class T>
int Count(const std::vector<T>& list, int n) {
    return std::clamp(n, 0, static_cast<int>(list.size()));
}

// A text's box: its drawn length along its direction, its height across it, placed by its
// base-point code; vertical texts run downwards.
QPolygonF TextBox(const TDavEntText& t) {
    const double w = t.mw, h = t.mh, d = t.md;
    const double len = std::hypot(t.x2, t.y2);
    const double ux = len > 0.0 ? t.x2 / len : 1.0;
    const double uy = len > 0.0 ? t.y2 / len : 0.0;
    const bool vertical = t.no == 1;
    const double run = TextLength(t.st, vertical ? h : w, d);
    const double along = vertical ? w : run;
    const double across = vertical ? run : h;
    const int column = std::clamp(t.cc, 0, 8) % 3;
    const int row = std::clamp(t.cc, 0, 8) / 3;
    const double u0 = -along * column / 2.0;
    const double v0 = -across * row / 2.0;
    const auto at = [&](double u, double v) {
        return QPointF(t.x1 + u * ux - v * uy, t.y1 + u * uy + v * ux);
    };
    return QPolygonF({at(u0, v0), at(u0 + along, v0), at(u0 + along, v0 + across),
                      at(u0, v0 + across), at(u0, v0)});
}

}  // namespace

std::optional<QRectF> HostExtent(const TJGdata& jg) {
    double x1 = INFINITY, y1 = INFINITY, x2 = -INFINITY, y2 = -INFINITY;
    const auto add = [&](double x, double y) {
        if (std::isfinite(x) && std::isfinite(y)) {
            x1 = std::min(x1, x);
            y1 = std::min(y1, y);
            x2 = std::max(x2, x);
            y2 = std::max(y2, y);
        }
    };
    const auto addCircle = [&](double cx, double cy, double r, double flat) {
        const double e = std::fabs(r) * std::max(1.0, std::fabs(flat));
        add(cx - e, cy - e);
        add(cx + e, cy + e);
    };
    for (int i = 0; i < Count(jg.EntLine, jg.EntLineN); ++i) {
        const TDavEntLine& l = jg.EntLine[static_cast<size_t>(i)];
        add(l.x1, l.y1);
        add(l.x2, l.y2);
    }
    for (int i = 0; i < Count(jg.EntCirc, jg.EntCircN); ++i) {
        const TDavEntCircle& c = jg.EntCirc[static_cast<size_t>(i)];
        addCircle(c.cx, c.cy, c.cr, 1.0);
    }
    for (int i = 0; i < Count(jg.EntArc, jg.EntArcN); ++i) {
        const TDavEntArc& a = jg.EntArc[static_cast<size_t>(i)];
        addCircle(a.cx, a.cy, a.cr, a.he);
    }
    for (int i = 0; i < Count(jg.EntText, jg.EntTextN); ++i) {
        for (const QPointF& p : TextBox(jg.EntText[static_cast<size_t>(i)])) {
            add(p.x(), p.y());
        }
    }
    for (int i = 0; i < Count(jg.EntPnt, jg.EntPntN); ++i) {
        add(jg.EntPnt[static_cast<size_t>(i)].px, jg.EntPnt[static_cast<size_t>(i)].py);
    }
    for (int i = 0; i < Count(jg.EntMark, jg.EntMarkN); ++i) {
        add(jg.EntMark[static_cast<size_t>(i)].px, jg.EntMark[static_cast<size_t>(i)].py);
    }
    for (int i = 0; i < Count(jg.EntDim, jg.EntDimN); ++i) {
        const TDavEntLine& l = jg.EntDim[static_cast<size_t>(i)].lin;
        add(l.x1, l.y1);
        add(l.x2, l.y2);
    }
    for (int i = 0; i < Count(jg.EntBlk, jg.EntBlkN); ++i) {
        add(jg.EntBlk[static_cast<size_t>(i)].px, jg.EntBlk[static_cast<size_t>(i)].py);
    }
    for (int i = 0; i < Count(jg.EntSld2, jg.EntSld2N); ++i) {
        const TDavEntSld2& s = jg.EntSld2[static_cast<size_t>(i)];
        add(s.x1, s.y1);
        add(s.x2, s.y2);
    }
    for (int i = 0; i < Count(jg.EntSld3, jg.EntSld3N); ++i) {
        const TDavEntSld3& s = jg.EntSld3[static_cast<size_t>(i)];
        add(s.x1, s.y1);
        add(s.x2, s.y2);
        add(s.x3, s.y3);
    }
    for (int i = 0; i < Count(jg.EntSld4, jg.EntSld4N); ++i) {
        const TDavEntSld4& s = jg.EntSld4[static_cast<size_t>(i)];
        add(s.x1, s.y1);
        add(s.x2, s.y2);
        add(s.x3, s.y3);
        add(s.x4, s.y4);
    }
    for (const auto* list : {&jg.EntSldC, &jg.EntSldE}) {
        const int n = list == &jg.EntSldC ? jg.EntSldCN : jg.EntSldEN;
        for (int i = 0; i < Count(*list, n); ++i) {
            const TDavEntSldC& s = (*list)[static_cast<size_t>(i)];
            addCircle(s.cx, s.cy, s.cr, s.he);
        }
    }
    for (const auto* list : {&jg.EntSldO, &jg.EntSldG}) {
        const int n = list == &jg.EntSldO ? jg.EntSldON : jg.EntSldGN;
        for (int i = 0; i < Count(*list, n); ++i) {
            const TDavEntSldD& s = (*list)[static_cast<size_t>(i)];
            addCircle(s.cx, s.cy, s.cr, s.he);
        }
    }
    const int points = static_cast<int>(jg.IPoints.size());
    for (int n = 1; n < points; ++n) {
        const TDavIndPoint& p = jg.IPoints[static_cast<size_t>(n)];
        if (p.flg) {
            add(p.x, p.y);
        }
    }
    if (!(x1 <= x2) || !(y1 <= y2)) {
        return std::nullopt;
    }
    return QRectF(QPointF(x1, y1), QPointF(x2, y2));
}

void DrawHostLayer(QPainter& painter, const TJGdata& jg, const QTransform& toDevice) {
    TBatches b(jg, toDevice);
    for (int i = 0; i < Count(jg.EntLine, jg.EntLineN); ++i) {
        const TDavEntLine& l = jg.EntLine[static_cast<size_t>(i)];
        b.Line(l.att.Col, l.x1, l.y1, l.x2, l.y2);
    }
    for (int i = 0; i < Count(jg.EntCirc, jg.EntCircN); ++i) {
        const TDavEntCircle& c = jg.EntCirc[static_cast<size_t>(i)];
        b.Arc(c.att.Col, c.cx, c.cy, c.cr, 1.0, 0.0, 0.0, 360.0);
    }
    for (int i = 0; i < Count(jg.EntArc, jg.EntArcN); ++i) {
        const TDavEntArc& a = jg.EntArc[static_cast<size_t>(i)];
        double sweep = a.ea - a.sa;
        if (sweep <= 0.0) {
            sweep += 360.0;
        }
        b.Arc(a.att.Col, a.cx, a.cy, a.cr, a.he, a.ka, a.sa, sweep);
    }
    for (int i = 0; i < Count(jg.EntText, jg.EntTextN); ++i) {
        const TDavEntText& t = jg.EntText[static_cast<size_t>(i)];
        const QPolygonF box = TextBox(t);
        for (int k = 0; k + 1 < box.size(); ++k) {
            b.Line(t.att.Col, box[k].x(), box[k].y(), box[k + 1].x(), box[k + 1].y());
        }
    }
    for (int i = 0; i < Count(jg.EntPnt, jg.EntPntN); ++i) {
        const TDavEntPnt& p = jg.EntPnt[static_cast<size_t>(i)];
        b.Mark(p.att.Col, p.px, p.py);
    }
    for (int i = 0; i < Count(jg.EntMark, jg.EntMarkN); ++i) {
        const TDavEntMark& m = jg.EntMark[static_cast<size_t>(i)];
        b.Mark(m.att.Col, m.px, m.py);
    }
    for (int i = 0; i < Count(jg.EntDim, jg.EntDimN); ++i) {
        const TDavEntDim& d = jg.EntDim[static_cast<size_t>(i)];
        b.Line(d.att.Col, d.lin.x1, d.lin.y1, d.lin.x2, d.lin.y2);
    }
    for (int i = 0; i < Count(jg.EntBlk, jg.EntBlkN); ++i) {
        const TDavEntBlk& k = jg.EntBlk[static_cast<size_t>(i)];
        b.Mark(k.att.Col, k.px, k.py);
    }
    for (int i = 0; i < Count(jg.EntSld2, jg.EntSld2N); ++i) {
        const TDavEntSld2& s = jg.EntSld2[static_cast<size_t>(i)];
        b.Polygon(s.att.Col, QPolygonF({{s.x1, s.y1}, {s.x2, s.y1}, {s.x2, s.y2}, {s.x1, s.y2}}));
    }
    for (int i = 0; i < Count(jg.EntSld3, jg.EntSld3N); ++i) {
        const TDavEntSld3& s = jg.EntSld3[static_cast<size_t>(i)];
        b.Polygon(s.att.Col, QPolygonF({{s.x1, s.y1}, {s.x2, s.y2}, {s.x3, s.y3}}));
    }
    for (int i = 0; i < Count(jg.EntSld4, jg.EntSld4N); ++i) {
        const TDavEntSld4& s = jg.EntSld4[static_cast<size_t>(i)];
        b.Polygon(s.att.Col,
                  QPolygonF({{s.x1, s.y1}, {s.x2, s.y2}, {s.x3, s.y3}, {s.x4, s.y4}}));
    }
    // Round solids as their outlines.
    for (const auto* list : {&jg.EntSldC, &jg.EntSldE}) {
        const int n = list == &jg.EntSldC ? jg.EntSldCN : jg.EntSldEN;
        for (int i = 0; i < Count(*list, n); ++i) {
            const TDavEntSldC& s = (*list)[static_cast<size_t>(i)];
            b.Arc(s.att.Col, s.cx, s.cy, s.cr, s.he, s.ka, s.sa, s.da);
        }
    }
    for (const auto* list : {&jg.EntSldO, &jg.EntSldG}) {
        const int n = list == &jg.EntSldO ? jg.EntSldON : jg.EntSldGN;
        for (int i = 0; i < Count(*list, n); ++i) {
            const TDavEntSldD& s = (*list)[static_cast<size_t>(i)];
            b.Arc(s.att.Col, s.cx, s.cy, s.cr, s.he, s.ka, s.sa, s.da);
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    b.Draw(painter);

    // The picked points: a cross and the point's number.
    painter.setPen(QPen(kPickedColour, 0));
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const int points = static_cast<int>(jg.IPoints.size());
    for (int n = 1; n < points; ++n) {
        const TDavIndPoint& p = jg.IPoints[static_cast<size_t>(n)];
        if (!p.flg) {
            continue;
        }
        const QPointF c = toDevice.map(QPointF(p.x, p.y));
        painter.drawLine(QLineF(c.x() - kPickedMark, c.y(), c.x() + kPickedMark, c.y()));
        painter.drawLine(QLineF(c.x(), c.y() - kPickedMark, c.x(), c.y() + kPickedMark));
        painter.drawEllipse(c, kPickedMark - 1, kPickedMark - 1);
        painter.drawText(c + QPointF(kPickedMark + 1, -kPickedMark - 1), QString::number(n));
    }
    painter.restore();
}
