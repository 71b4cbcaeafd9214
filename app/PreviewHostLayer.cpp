// PreviewHostLayer: the scene of the host's entities, drawn for the preview.
#include "PreviewHostLayer.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include <QColor>
#include <QFont>
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
constexpr double kMarkHalf = 2.0;   // half size of a marker's cross, pixels
constexpr double kPickedHalf = 5.0; // half size of a picked point's cross, pixels
constexpr double kBandWidth = 3.0;  // a two-point solid, pixels
// A text's characters are drawn when it stands at least this high on the screen, and for at
// most this many texts in one picture: beyond that only their boxes, which keeps a drawing of
// a million entities quick.
constexpr double kLegibleText = 5.0;
constexpr int kMostTexts = 4000;
// The font the texts are laid out in before they are scaled into their boxes.
constexpr int kTextPixels = 64;

// The host's colours are made for a dark ground: those too pale for white paper are drawn
// dark grey instead.
QColor PaperColour(int rgb) {
    const QColor c(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    if (c.red() * 299 + c.green() * 587 + c.blue() * 114 > 200 * 1000) {
        return QColor(80, 80, 80);
    }
    return c;
}

// The arc as points on the device, as many as its length there needs.
QPolygonF ArcPoints(const TArcGeom& a, double radius, double from, double sweep,
                    const QTransform& t) {
    const double scale = std::hypot(t.m11(), t.m12());
    const double screenR = std::fabs(radius) * std::max(1.0, std::fabs(a.flat)) * scale;
    const double screenLength = screenR * std::min(std::fabs(sweep), 360.0) * kDegree;
    const int segments = std::clamp(static_cast<int>(screenLength / kPixelsPerSegment) + 1,
                                    std::fabs(sweep) >= 360.0 ? 3 : 1, kMaxArcSegments);
    TArcGeom g = a;
    g.r = radius;
    QPolygonF points;
    points.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        double x = 0.0, y = 0.0;
        DavScene::ArcPoint(g, from + sweep * i / segments, x, y);
        points << t.map(QPointF(x, y));
    }
    return points;
}

bool Finite(const TScenePrim& p) {
    return std::all_of(std::begin(p.g), std::end(p.g), [](double v) { return std::isfinite(v); });
}

// The primitives gathered by colour, so that each colour is one draw call.
class TBatches {
public:
    explicit TBatches(const QTransform& t) : t_(t) {}

    void Line(int rgb, QPointF a, QPointF b) { lines_[rgb].emplace_back(t_.map(a), t_.map(b)); }

    void Polyline(int rgb, const QPolygonF& device) {
        std::vector<QLineF>& out = lines_[rgb];
        for (qsizetype i = 1; i < device.size(); ++i) {
            out.emplace_back(device[i - 1], device[i]);
        }
    }

    void Dashed(int rgb, const QPolygonF& host) {
        std::vector<QLineF>& out = dashed_[rgb];
        for (qsizetype i = 0; i < host.size(); ++i) {
            out.emplace_back(t_.map(host[i]), t_.map(host[(i + 1) % host.size()]));
        }
    }

    void Fill(int rgb, const QPainterPath& device) { fills_[rgb].push_back(device); }

    void Band(int rgb, QPointF a, QPointF b) { bands_[rgb].emplace_back(t_.map(a), t_.map(b)); }

    void Dot(int rgb, QPointF host) { dots_[rgb].push_back(t_.map(host)); }

    void Mark(int rgb, QPointF host) {
        const QPointF c = t_.map(host);
        std::vector<QLineF>& out = lines_[rgb];
        out.emplace_back(c.x() - kMarkHalf, c.y(), c.x() + kMarkHalf, c.y());
        out.emplace_back(c.x(), c.y() - kMarkHalf, c.x(), c.y() + kMarkHalf);
    }

    void Draw(QPainter& painter) {
        painter.setPen(Qt::NoPen);
        for (auto& [rgb, paths] : fills_) {
            painter.setBrush(PaperColour(rgb));
            for (const QPainterPath& path : paths) {
                painter.drawPath(path);
            }
        }
        painter.setBrush(Qt::NoBrush);
        for (auto& [rgb, lines] : bands_) {
            painter.setPen(QPen(PaperColour(rgb), kBandWidth));
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        for (auto& [rgb, lines] : lines_) {
            painter.setPen(QPen(PaperColour(rgb), 0));
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        for (auto& [rgb, lines] : dashed_) {
            painter.setPen(QPen(PaperColour(rgb), 0, Qt::DashLine));
            painter.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        for (auto& [rgb, dots] : dots_) {
            painter.setPen(QPen(PaperColour(rgb), 2));
            painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
        }
    }

private:
    const QTransform& t_;
    std::unordered_map<int, std::vector<QLineF>> lines_, dashed_, bands_;
    std::unordered_map<int, std::vector<QPainterPath>> fills_;
    std::unordered_map<int, std::vector<QPointF>> dots_;
};

// A filled arc shape: a sector, a segment or a ring.
QPainterPath ArcShape(const TScenePrim& p, const QTransform& t) {
    const TArcGeom a = p.Arc();
    QPainterPath path;
    QPolygonF outer = ArcPoints(a, a.r, a.start, a.sweep, t);
    if (p.kind == TPrimKind::Sector && a.sweep < 360.0) {
        outer.prepend(t.map(QPointF(a.cx, a.cy)));
    }
    if (p.kind == TPrimKind::Ring) {
        QPolygonF inner = ArcPoints(a, a.inner, a.start, a.sweep, t);
        if (a.sweep < 360.0) {
            std::reverse(inner.begin(), inner.end());
            outer += inner;
        } else {
            path.setFillRule(Qt::OddEvenFill);
            path.addPolygon(inner);
            path.closeSubpath();
        }
    }
    path.addPolygon(outer);
    path.closeSubpath();
    return path;
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
    painter.drawText(QRectF(0, -kTextPixels, advance, kTextPixels),
                     Qt::AlignLeft | Qt::AlignBottom, text);
    painter.resetTransform();
}

}  // namespace

std::optional<QRectF> HostExtent(const DavScene::TScene& scene) {
    const DavScene::TBounds& b = scene.bounds;
    if (b.empty) {
        return std::nullopt;
    }
    return QRectF(QPointF(b.x1, b.y1), QPointF(b.x2, b.y2));
}

void DrawHostLayer(QPainter& painter, const DavScene::TScene& scene, const QTransform& toDevice) {
    const double scale = std::hypot(toDevice.m11(), toDevice.m12());
    TBatches b(toDevice);
    std::vector<const TScenePrim*> legible;
    std::vector<const TScenePrim*> picked;
    for (const TScenePrim& p : scene.prims) {
        if (!Finite(p)) {
            continue;
        }
        const double* g = p.g;
        switch (p.kind) {
            case TPrimKind::Line: b.Line(p.color, {g[0], g[1]}, {g[2], g[3]}); break;
            case TPrimKind::Arc: {
                const TArcGeom a = p.Arc();
                b.Polyline(p.color, ArcPoints(a, a.r, a.start, a.sweep, toDevice));
                break;
            }
            case TPrimKind::Sector:
            case TPrimKind::Segment:
            case TPrimKind::Ring: b.Fill(p.color, ArcShape(p, toDevice)); break;
            case TPrimKind::Polygon:
                if (p.n == 2) {
                    b.Band(p.color, {g[0], g[1]}, {g[2], g[3]});
                } else {
                    QPainterPath path;
                    QPolygonF corners;
                    for (int i = 0; i < p.n && i < 4; ++i) {
                        corners << toDevice.map(QPointF(g[2 * i], g[2 * i + 1]));
                    }
                    path.addPolygon(corners);
                    path.closeSubpath();
                    b.Fill(p.color, path);
                }
                break;
            case TPrimKind::Text: {
                double x[4], y[4];
                DavScene::TextCorners(p, x, y);
                b.Dashed(p.color, QPolygonF({{x[0], y[0]}, {x[1], y[1]}, {x[2], y[2]}, {x[3], y[3]}}));
                const double high = std::hypot(p.vertical ? g[2] : g[4], p.vertical ? g[3] : g[5]);
                if (p.text != nullptr && !p.text->st.empty() && high * scale >= kLegibleText) {
                    legible.push_back(&p);
                }
                break;
            }
            case TPrimKind::Point: b.Dot(p.color, {g[0], g[1]}); break;
            case TPrimKind::Marker: b.Mark(p.color, {g[0], g[1]}); break;
            case TPrimKind::Picked: picked.push_back(&p); break;
        }
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
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

    // The picked points over everything: a cross in a circle and the point's number.
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    for (const TScenePrim* p : picked) {
        painter.setPen(QPen(PaperColour(p->color), 0));
        const QPointF c = toDevice.map(QPointF(p->g[0], p->g[1]));
        painter.drawLine(QLineF(c.x() - kPickedHalf, c.y(), c.x() + kPickedHalf, c.y()));
        painter.drawLine(QLineF(c.x(), c.y() - kPickedHalf, c.x(), c.y() + kPickedHalf));
        painter.drawEllipse(c, kPickedHalf - 1, kPickedHalf - 1);
        painter.drawText(c + QPointF(kPickedHalf + 1, -kPickedHalf - 1), QString::number(p->code));
    }
    painter.restore();
}
