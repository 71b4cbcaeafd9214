// PreviewHostLayer: the scene of the host's entities, drawn for the preview.
#include "PreviewHostLayer.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QTransform>

namespace {

using DavScene::TArcGeom;
using DavScene::TPrimKind;
using DavScene::TScenePrim;

constexpr double kDegree = 3.14159265358979323846 / 180.0;
// An arc is drawn as a polyline of at most this many segments, fewer when it is small on the
// screen.
constexpr int kMaxArcSegments = 128;
constexpr double kPixelsPerSegment = 4.0;
constexpr double kMarkHalf = 2.0;    // half size of a marker's cross, pixels
constexpr double kPickedHalf = 5.0;  // half size of a picked point's cross, pixels
constexpr double kBandWidth = 3.0;   // a two-point solid, pixels
// The primitives gathered before they are drawn.
constexpr int kFlushPrims = 1 << 15;
// A text's characters are drawn when it stands at least this high on the screen, and for at
// most this many texts in one picture: beyond that only their boxes, which keeps a drawing of
// a million entities quick.
constexpr double kLegibleText = 5.0;
constexpr int kMostTexts = 4000;
// The font the texts are laid out in before they are scaled into their boxes.
constexpr int kTextPixels = 64;
// The farthest from the widget's corner that a point handed to the painter lies, in pixels.
constexpr double kMostDevice = 1e6;

// The host's colours are made for a dark ground: those too pale for white paper are drawn
// dark grey instead.
QColor PaperColour(int rgb) {
    const QColor c(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    if (c.red() * 299 + c.green() * 587 + c.blue() * 114 > 200 * 1000) {
        return QColor(80, 80, 80);
    }
    return c;
}

// How many segments an arc needs for its length on the device: a circle a few pixels across
// is a triangle, which is all the pixels can show; one larger than the range of numbers gets
// the most.
int ArcSegments(const TArcGeom& a, double radius, double sweep, double scale) {
    const double screenR = std::fabs(radius) * std::max(1.0, std::fabs(a.flat)) * scale;
    const double screenLength = screenR * std::min(std::fabs(sweep), 360.0) * kDegree;
    const double wanted = screenLength / kPixelsPerSegment;
    const int segments = wanted < kMaxArcSegments ? static_cast<int>(wanted) + 1 : kMaxArcSegments;
    return std::clamp(segments, std::fabs(sweep) >= 360.0 ? 3 : 1, kMaxArcSegments);
}

// Appends the arc's points, in the host's coordinates, to out.
void AppendArcPoints(std::vector<TClipPoint>& out, const TArcGeom& a, double radius, double from,
                     double sweep, double scale) {
    const int segments = ArcSegments(a, radius, sweep, scale);
    TArcGeom g = a;
    g.r = radius;
    for (int i = 0; i <= segments; ++i) {
        TClipPoint p;
        DavScene::ArcPoint(g, from + sweep * i / segments, p.x, p.y);
        out.push_back(p);
    }
}

bool Finite(const TScenePrim& p) {
    return std::all_of(std::begin(p.g), std::end(p.g), [](double v) { return std::isfinite(v); });
}

// What is drawn in one colour: the lines, dashed lines, bands, dots and filled shapes.
struct TColourBatch {
    std::vector<QLineF> lines, dashed, bands;
    std::vector<QPointF> dots;
    QPolygonF corners;  // filled polygons, one after the other
    std::vector<int> cornerCounts;
    std::vector<QPainterPath> paths;  // filled shapes with a hole
};

// The primitives gathered by colour, so that each colour is a few draw calls. Consecutive
// primitives mostly share their colour, so the last batch is kept at hand. Everything is cut
// to the clip rectangle in the host's coordinates before it is mapped to the device.
class TBatches {
public:
    TBatches(const QTransform& t, const TFrameRect& clip)
        : t_(t), clip_(clip), scale_(std::hypot(t.m11(), t.m12())) {}

    double Scale() const { return scale_; }

    TColourBatch& Of(int rgb) {
        if (last_ == nullptr || rgb != lastRgb_) {
            last_ = &batches_[rgb];
            lastRgb_ = rgb;
        }
        return *last_;
    }

    void Line(int rgb, double x1, double y1, double x2, double y2) {
        Segment(Of(rgb).lines, x1, y1, x2, y2);
    }

    void Arc(int rgb, const TArcGeom& a) {
        scratch_.clear();
        AppendArcPoints(scratch_, a, a.r, a.start, a.sweep, scale_);
        std::vector<QLineF>& out = Of(rgb).lines;
        for (size_t i = 1; i < scratch_.size(); ++i) {
            Segment(out, scratch_[i - 1].x, scratch_[i - 1].y, scratch_[i].x, scratch_[i].y);
        }
    }

    void Dashed(int rgb, const double (&x)[4], const double (&y)[4]) {
        std::vector<QLineF>& out = Of(rgb).dashed;
        for (int i = 0; i < 4; ++i) {
            Segment(out, x[i], y[i], x[(i + 1) % 4], y[(i + 1) % 4]);
        }
    }

    // A filled shape given by its corners; one smaller than a pixel is a dot.
    void Fill(int rgb, const std::vector<TClipPoint>& corners) {
        const QPolygonF device = Device(corners);
        if (device.size() < 3) {
            return;
        }
        const QRectF box = device.boundingRect();
        if (box.width() < 1.0 && box.height() < 1.0) {
            Of(rgb).dots.push_back(box.center());
            return;
        }
        TColourBatch& b = Of(rgb);
        b.corners += device;
        b.cornerCounts.push_back(static_cast<int>(device.size()));
    }

    // The corners on the device of the part of a closed shape within the clip rectangle.
    QPolygonF Device(const std::vector<TClipPoint>& corners) const {
        QPolygonF device;
        const bool inside = std::all_of(corners.begin(), corners.end(),
                                        [this](const TClipPoint& p) { return Inside(p, clip_); });
        for (const TClipPoint& p : inside ? corners : ClipPolygon(corners, clip_)) {
            device << t_.map(QPointF(p.x, p.y));
        }
        return device;
    }

    void FillPath(int rgb, const QPainterPath& device) { Of(rgb).paths.push_back(device); }

    void Band(int rgb, double x1, double y1, double x2, double y2) {
        Segment(Of(rgb).bands, x1, y1, x2, y2);
    }

    void Dot(int rgb, double x, double y) {
        if (Inside({x, y}, clip_)) {
            Of(rgb).dots.push_back(t_.map(QPointF(x, y)));
        }
    }

    void Mark(int rgb, double x, double y) {
        if (!Inside({x, y}, clip_)) {
            return;
        }
        const QPointF c = t_.map(QPointF(x, y));
        std::vector<QLineF>& out = Of(rgb).lines;
        out.emplace_back(c.x() - kMarkHalf, c.y(), c.x() + kMarkHalf, c.y());
        out.emplace_back(c.x(), c.y() - kMarkHalf, c.x(), c.y() + kMarkHalf);
    }

    // The corners of a filled shape, reusing one buffer.
    std::vector<TClipPoint>& Scratch() {
        scratch_.clear();
        return scratch_;
    }

    // Draws what has been gathered once it is this much, and starts again in the same memory:
    // a million entities never need their device coordinates all at once.
    void DrawWhenFull(QPainter& painter) {
        if (++gathered_ >= kFlushPrims) {
            Draw(painter);
        }
    }

    void Draw(QPainter& painter) {
        gathered_ = 0;
        for (auto& [rgb, b] : batches_) {
            const QColor colour = PaperColour(rgb);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            qsizetype at = 0;
            for (int n : b.cornerCounts) {
                painter.drawPolygon(b.corners.constData() + at, n);
                at += n;
            }
            for (const QPainterPath& path : b.paths) {
                painter.drawPath(path);
            }
            painter.setBrush(Qt::NoBrush);
            if (!b.bands.empty()) {
                painter.setPen(QPen(colour, kBandWidth));
                painter.drawLines(b.bands.data(), static_cast<int>(b.bands.size()));
            }
            painter.setPen(QPen(colour, 0));
            painter.drawLines(b.lines.data(), static_cast<int>(b.lines.size()));
            if (!b.dashed.empty()) {
                painter.setPen(QPen(colour, 0, Qt::DashLine));
                painter.drawLines(b.dashed.data(), static_cast<int>(b.dashed.size()));
            }
            if (!b.dots.empty()) {
                painter.setPen(QPen(colour, 2));
                painter.drawPoints(b.dots.data(), static_cast<int>(b.dots.size()));
            }
            b.lines.clear();
            b.dashed.clear();
            b.bands.clear();
            b.dots.clear();
            b.corners.clear();
            b.cornerCounts.clear();
            b.paths.clear();
        }
    }

private:
    // The part of a segment within the clip rectangle, if any, on the device.
    void Segment(std::vector<QLineF>& out, double x1, double y1, double x2, double y2) {
        TClipPoint a{x1, y1}, b{x2, y2};
        if (ClipSegment(a, b, clip_)) {
            out.emplace_back(t_.map(QPointF(a.x, a.y)), t_.map(QPointF(b.x, b.y)));
        }
    }

    const QTransform& t_;
    TFrameRect clip_;
    double scale_;
    std::unordered_map<int, TColourBatch> batches_;
    TColourBatch* last_ = nullptr;
    int lastRgb_ = 0;
    int gathered_ = 0;
    std::vector<TClipPoint> scratch_;
};

// A filled arc shape: a sector, a segment or a ring.
// A whole ring is its two circles filled odd-even; each is cut to the clip rectangle on its
// own, which leaves what lies between them within the rectangle.
void FillArcShape(TBatches& b, const TScenePrim& p) {
    const TArcGeom a = p.Arc();
    if (p.kind == TPrimKind::Ring) {
        std::vector<TClipPoint> outer, inner;
        AppendArcPoints(outer, a, a.r, a.start, a.sweep, b.Scale());
        AppendArcPoints(inner, a, a.inner, a.start, a.sweep, b.Scale());
        QPainterPath path;
        if (a.sweep < 360.0) {
            outer.insert(outer.end(), inner.rbegin(), inner.rend());
            path.addPolygon(b.Device(outer));
        } else {
            path.setFillRule(Qt::OddEvenFill);
            path.addPolygon(b.Device(outer));
            path.closeSubpath();
            path.addPolygon(b.Device(inner));
        }
        path.closeSubpath();
        b.FillPath(p.color, path);
        return;
    }
    std::vector<TClipPoint>& corners = b.Scratch();
    if (p.kind == TPrimKind::Sector && a.sweep < 360.0) {
        corners.push_back({a.cx, a.cy});
    }
    AppendArcPoints(corners, a, a.r, a.start, a.sweep, b.Scale());
    b.Fill(p.color, corners);
}

// A text of the host: its characters stretched over its box, when it is large enough to read.
// Horizontal text is one run along the box; vertical text stacks its characters from the top
// edge downwards, each upright in an equal share of the box.
void DrawTextChars(QPainter& painter, const TScenePrim& p, const QTransform& t, QFont& font) {
    const double ux = p.g[2], uy = p.g[3], vx = p.g[4], vy = p.g[5];
    const QString text = QString::fromStdU16String(p.text->st);
    painter.setPen(PaperColour(p.color));
    if (p.vertical) {
        const QList<uint> chars = text.toUcs4();
        const double n = static_cast<double>(chars.size());
        const double topX = p.g[0] + vx, topY = p.g[1] + vy;
        for (qsizetype k = 0; k < chars.size(); ++k) {
            const char32_t ch = chars[k];
            const QTransform cell(ux / kTextPixels, uy / kTextPixels, -vx / (n * kTextPixels),
                                  -vy / (n * kTextPixels), topX - k * vx / n, topY - k * vy / n);
            painter.setTransform(cell * t);
            painter.drawText(QRectF(0, 0, kTextPixels, kTextPixels), Qt::AlignCenter,
                             QString::fromUcs4(&ch, 1));
        }
        painter.resetTransform();
        return;
    }
    const double advance = QFontMetricsF(font).horizontalAdvance(text);
    if (!(advance > 0.0)) {
        return;
    }
    // Text pixels run downwards from the baseline's top; the box's frame upwards.
    const QTransform frame(ux / advance, uy / advance, vx / kTextPixels, vy / kTextPixels, p.g[0],
                           p.g[1]);
    painter.setTransform(QTransform(1, 0, 0, -1, 0, 0) * frame * t);
    painter.drawText(QRectF(0, -kTextPixels, advance, kTextPixels), Qt::AlignLeft | Qt::AlignBottom,
                     text);
    painter.resetTransform();
}

// A text's box goes into the batches as a dashed outline; true when its characters are to be
// drawn as well: the box lies near the widget in whole and the text is tall enough to read.
bool BatchTextBox(TBatches& b, const TScenePrim& p, const QTransform& toDevice) {
    const double* g = p.g;
    double x[4], y[4];
    DavScene::TextCorners(p, x, y);
    b.Dashed(p.color, x, y);
    const double high = std::hypot(p.vertical ? g[2] : g[4], p.vertical ? g[3] : g[5]);
    bool near = true;
    for (int i = 0; i < 4; ++i) {
        near = near && OnDevice(toDevice.map(QPointF(x[i], y[i])));
    }
    return near && p.text != nullptr && !p.text->st.empty() && high * b.Scale() >= kLegibleText;
}

// The picked points: a cross in a circle and the point's number. The number stands below the
// point on its right: a text placed at the point with the usual base point (bottom left) runs
// up and to the right, over the other side.
void DrawPickedPoints(QPainter& painter, const std::vector<const TScenePrim*>& picked,
                      const QTransform& toDevice, const TFrameRect& clip) {
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QPointF numberAt(kPickedHalf + 1, kPickedHalf + QFontMetricsF(font).ascent());
    for (const TScenePrim* p : picked) {
        if (!Inside({p->g[0], p->g[1]}, clip)) {
            continue;
        }
        painter.setPen(QPen(PaperColour(p->color), 0));
        const QPointF c = toDevice.map(QPointF(p->g[0], p->g[1]));
        painter.drawLine(QLineF(c.x() - kPickedHalf, c.y(), c.x() + kPickedHalf, c.y()));
        painter.drawLine(QLineF(c.x(), c.y() - kPickedHalf, c.x(), c.y() + kPickedHalf));
        painter.drawEllipse(c, kPickedHalf - 1, kPickedHalf - 1);
        painter.drawText(c + numberAt, QString::number(p->code));
    }
}

}  // namespace

std::optional<TFrameRect> HostExtent(const DavScene::TScene& scene) {
    const DavScene::TBounds& b = scene.bounds;
    if (b.empty) {
        return std::nullopt;
    }
    return TFrameRect{b.x1, b.y1, b.x2, b.y2};
}

bool OnDevice(const QPointF& p) {
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::fabs(p.x()) <= kMostDevice &&
           std::fabs(p.y()) <= kMostDevice;
}

void DrawHostLayer(QPainter& painter, const DavScene::TScene& scene, const QTransform& toDevice,
                   const TFrameRect& clip) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    TBatches b(toDevice, clip);
    std::vector<const TScenePrim*> legible;
    std::vector<const TScenePrim*> picked;
    for (const TScenePrim& p : scene.prims) {
        if (!Finite(p)) {
            continue;
        }
        const double* g = p.g;
        switch (p.kind) {
            case TPrimKind::Line: b.Line(p.color, g[0], g[1], g[2], g[3]); break;
            case TPrimKind::Arc: b.Arc(p.color, p.Arc()); break;
            case TPrimKind::Sector:
            case TPrimKind::Segment:
            case TPrimKind::Ring: FillArcShape(b, p); break;
            case TPrimKind::Polygon:
                if (p.n == 2) {
                    b.Band(p.color, g[0], g[1], g[2], g[3]);
                } else {
                    std::vector<TClipPoint>& corners = b.Scratch();
                    for (int i = 0; i < p.n && i < 4; ++i) {
                        corners.push_back({g[2 * i], g[2 * i + 1]});
                    }
                    b.Fill(p.color, corners);
                }
                break;
            case TPrimKind::Text:
                if (BatchTextBox(b, p, toDevice)) {
                    legible.push_back(&p);
                }
                break;
            case TPrimKind::Point: b.Dot(p.color, g[0], g[1]); break;
            case TPrimKind::Marker: b.Mark(p.color, g[0], g[1]); break;
            case TPrimKind::Picked: picked.push_back(&p); break;
        }
        b.DrawWhenFull(painter);
    }
    b.Draw(painter);

    if (legible.size() <= static_cast<size_t>(kMostTexts)) {
        QFont font = painter.font();
        font.setPixelSize(kTextPixels);
        painter.setFont(font);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        for (const TScenePrim* p : legible) {
            DrawTextChars(painter, *p, toDevice, font);
        }
    }

    // The picked points over everything.
    DrawPickedPoints(painter, picked, toDevice, clip);
    painter.restore();
}
