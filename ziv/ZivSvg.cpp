// ZivSvg: each primitive of the scene as an SVG element, in pixels. The picture's user units
// are its pixels, so a line of width 1 and a dash of 3 are that many pixels in every renderer
// without any renderer-specific styling. The host's y axis points up and SVG's down, so every
// point is turned over the drawing's bounds: (x, y) becomes
// (margin + (x - left) * scale, margin + (top - y) * scale). The bounds and the scale are
// computed from halves of the coordinates, so that a drawing that spans the whole range of
// numbers still fits; a primitive with a coordinate that is not a finite number, or that
// would not be one in pixels, is left out and counted.
#include "ziv/ZivSvg.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "util/TextFile.h"
#include "ziv/ZivJsonText.h"
#include "ziv/ZivNumber.h"

namespace {

using DavScene::TArcGeom;
using DavScene::TPrimKind;
using DavScene::TScenePrim;

std::string Colour(int c) {
    static constexpr char kHex[] = "0123456789abcdef";
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    std::string s = "#";
    for (int v : {r, g, b}) {
        s.push_back(kHex[v >> 4]);
        s.push_back(kHex[v & 0xF]);
    }
    return s;
}

// Text for XML: the five characters that need escaping, and no control characters.
void AppendXml(std::string& out, std::u16string_view text) {
    for (const char ch : ToUtf8(text)) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default:
                if (static_cast<unsigned char>(ch) >= 0x20) {
                    out.push_back(ch);
                }
        }
    }
}

// The part of the host's plane the picture shows, and how it maps to pixels.
class TFrame {
public:
    // Adds a point; one that is not finite is ignored.
    void Add(double x, double y) {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            return;
        }
        x1_ = std::min(x1_, x);
        x2_ = std::max(x2_, x);
        y1_ = std::min(y1_, y);
        y2_ = std::max(y2_, y);
    }

    // Fixes the picture's size: the longer side is size pixels, a twentieth of it margin.
    void Fit(int size) {
        if (x1_ > x2_) {
            x1_ = x2_ = y1_ = y2_ = 0.0;
        }
        // Halves, so that the span of two finite numbers is finite too.
        double w = x2_ * 0.5 - x1_ * 0.5, h = y2_ * 0.5 - y1_ * 0.5;
        const double extent = std::max(w, h);
        if (!(extent > 0.0) || !std::isfinite(size / extent)) {
            // A single point, or a span too small to scale: one unit around it.
            const double pad = std::max(1.0, std::fabs(x1_) * 1e-9);
            x1_ -= pad, x2_ += pad, y1_ -= pad, y2_ += pad;
            w = x2_ * 0.5 - x1_ * 0.5, h = y2_ * 0.5 - y1_ * 0.5;
        }
        margin_ = std::round(size * 0.05);
        const double inner = size - 2 * margin_;
        halfScale_ = inner / std::max(w, h);
        width_ = std::max(1.0, std::ceil(2 * margin_ + w * halfScale_));
        height_ = std::max(1.0, std::ceil(2 * margin_ + h * halfScale_));
        dot_ = std::max(1.0, size / 300.0);
    }

    double X(double x) const { return margin_ + (x * 0.5 - x1_ * 0.5) * halfScale_; }
    double Y(double y) const { return margin_ + (y2_ * 0.5 - y * 0.5) * halfScale_; }
    // A length in the host's units, in pixels.
    double Len(double v) const { return v * 0.5 * halfScale_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    // The size of a point's dot, in pixels.
    double Dot() const { return dot_; }

private:
    double x1_ = std::numeric_limits<double>::infinity(), y1_ = x1_;
    double x2_ = -x1_, y2_ = -x1_;
    double margin_ = 0, halfScale_ = 1, width_ = 1, height_ = 1, dot_ = 1;
};

// The primitives drawn from an arc's geometry (TScenePrim::Arc).
bool IsArc(TPrimKind kind) {
    return kind == TPrimKind::Arc || kind == TPrimKind::Sector || kind == TPrimKind::Segment ||
           kind == TPrimKind::Ring;
}

// The points that bound a primitive (an arc by the box of its whole ellipse).
void AddBounds(const TScenePrim& p, TFrame& f) {
    if (IsArc(p.kind)) {
        const TArcGeom a = p.Arc();
        const double r = std::fabs(a.r) * std::max(1.0, std::fabs(a.flat));
        if (std::isfinite(r) && std::isfinite(a.cx - r) && std::isfinite(a.cx + r) &&
            std::isfinite(a.cy - r) && std::isfinite(a.cy + r)) {
            f.Add(a.cx - r, a.cy - r);
            f.Add(a.cx + r, a.cy + r);
        }
        return;
    }
    switch (p.kind) {
        case TPrimKind::Line:
            f.Add(p.g[0], p.g[1]);
            f.Add(p.g[2], p.g[3]);
            break;
        case TPrimKind::Polygon:
            for (int i = 0; i < p.n && i < 4; ++i) {
                f.Add(p.g[2 * i], p.g[2 * i + 1]);
            }
            break;
        case TPrimKind::Text: {
            double x[4], y[4];
            DavScene::TextCorners(p, x, y);
            for (int i = 0; i < 4; ++i) {
                f.Add(x[i], y[i]);
            }
            break;
        }
        case TPrimKind::Point:
        case TPrimKind::Marker:
        case TPrimKind::Picked: f.Add(p.g[0], p.g[1]); break;
        default: break;
    }
}

class TSvg {
public:
    TSvg(std::span<const TSvgLayer> layers, int size) : layers_(layers), size_(size) {
        for (const TSvgLayer& l : layers) {
            for (const TScenePrim& p : l.scene->prims) {
                AddBounds(p, f_);
            }
        }
        f_.Fit(size);
    }

    std::string Run();
    size_t LeftOut() const { return leftOut_; }

private:
    // Every number written goes through Num, which notes one that is not finite.
    void Num(double v) {
        if (!std::isfinite(v)) {
            bad_ = true;
            v = 0;
        }
        ZivNumber::Append(out_, v);
    }
    void X(double x) { Num(f_.X(x)); }
    void Y(double y) { Num(f_.Y(y)); }
    // A point already in pixels.
    void PixelPt(double x, double y) {
        Num(x);
        out_ += ' ';
        Num(y);
    }
    void Pt(double x, double y) { PixelPt(f_.X(x), f_.Y(y)); }
    void Stroke(int c) { out_ += " fill=\"none\" stroke=\"" + Colour(c) + "\""; }
    void Fill(int c) { out_ += " fill=\"" + Colour(c) + "\" stroke=\"none\""; }

    void ArcTo(const TArcGeom& a, double r, double from, double sweep, bool reverse);
    void ArcPath(const TArcGeom& a, double r, double start, double sweep, bool reverse);
    void Prim(const TScenePrim& p);
    void Shape(const TScenePrim& p);
    void SegmentPath(double x1, double y1, double x2, double y2);
    void CircleAt(double x, double y, double r);
    void Round(const TScenePrim& p);
    void Polygon(const TScenePrim& p);
    void Point(const TScenePrim& p);
    void Picked(const TScenePrim& p);
    void Text(const TScenePrim& p);
    void Marker(const TScenePrim& p);

    std::span<const TSvgLayer> layers_;
    int size_;
    TFrame f_;
    std::string out_;
    bool bad_ = false;
    size_t leftOut_ = 0;
};

// An elliptic arc segment of at most a half turn from parameter from over sweep, as an SVG
// arc command. In SVG's y-down frame the host's counter-clockwise turn is the negative sweep
// direction, and a positive tilt turns the other way.
void TSvg::ArcTo(const TArcGeom& a, double r, double from, double sweep, bool reverse) {
    TArcGeom g = a;
    g.r = r;
    double x = 0, y = 0;
    ArcPoint(g, reverse ? from - sweep : from + sweep, x, y);
    const bool ccw = (a.flat >= 0) != reverse;
    out_ += " A ";
    Num(f_.Len(std::fabs(r)));
    out_ += ' ';
    Num(f_.Len(std::fabs(r * a.flat)));
    out_ += ' ';
    Num(-a.tilt);
    out_ += sweep > 180.0 ? " 1 " : " 0 ";
    out_ += ccw ? "0 " : "1 ";
    Pt(x, y);
}

// The arc from start over sweep (backwards when reverse), in pieces of at most half a turn,
// the pen already at its first point.
void TSvg::ArcPath(const TArcGeom& a, double r, double start, double sweep, bool reverse) {
    const int pieces = sweep > 180.0 ? 2 : 1;
    const double step = sweep / pieces;
    for (int i = 0; i < pieces; ++i) {
        const double from = reverse ? start - i * step : start + i * step;
        ArcTo(a, r, from, step, reverse);
    }
}

// One primitive, or nothing when one of its numbers is not finite.
void TSvg::Prim(const TScenePrim& p) {
    const size_t mark = out_.size();
    bad_ = false;
    Shape(p);
    if (bad_) {
        out_.resize(mark);
        ++leftOut_;
    }
}

void TSvg::Shape(const TScenePrim& p) {
    if (IsArc(p.kind)) {
        Round(p);
        return;
    }
    switch (p.kind) {
        case TPrimKind::Line:
            SegmentPath(p.g[0], p.g[1], p.g[2], p.g[3]);
            Stroke(p.color);
            out_ += "/>\n";
            break;
        case TPrimKind::Polygon: Polygon(p); break;
        case TPrimKind::Text: Text(p); break;
        case TPrimKind::Point: Point(p); break;
        case TPrimKind::Marker: Marker(p); break;
        case TPrimKind::Picked: Picked(p); break;
        default: break;
    }
}

// The path of one segment, "<path d="M x1 y1 L x2 y2"", its style to follow.
void TSvg::SegmentPath(double x1, double y1, double x2, double y2) {
    out_ += "<path d=\"M ";
    Pt(x1, y1);
    out_ += " L ";
    Pt(x2, y2);
    out_ += '"';
}

// A circle at a point of the drawing, r in pixels, "<circle cx=".." cy=".." r=".."", its
// style to follow.
void TSvg::CircleAt(double x, double y, double r) {
    out_ += "<circle cx=\"";
    X(x);
    out_ += "\" cy=\"";
    Y(y);
    out_ += "\" r=\"";
    Num(r);
    out_ += '"';
}

// An arc, or a sector, segment or ring filled.
void TSvg::Round(const TScenePrim& p) {
    const TArcGeom a = p.Arc();
    double x = 0, y = 0;
    ArcPoint(a, a.start, x, y);
    out_ += "<path d=\"";
    if (p.kind == TPrimKind::Sector && a.sweep < 360.0) {
        out_ += "M ";
        Pt(a.cx, a.cy);
        out_ += " L ";
    } else {
        out_ += "M ";
    }
    Pt(x, y);
    ArcPath(a, a.r, a.start, a.sweep, false);
    if (p.kind == TPrimKind::Ring) {
        double ix = 0, iy = 0;
        DavScene::ArcInnerPoint(a, a.start + a.sweep, ix, iy);
        out_ += a.sweep < 360.0 ? " L " : " Z M ";
        Pt(ix, iy);
        ArcPath(a, a.inner, a.start + a.sweep, a.sweep, true);
    }
    if (p.kind != TPrimKind::Arc) {
        out_ += " Z\"";
        Fill(p.color);
        out_ += p.kind == TPrimKind::Ring ? " fill-rule=\"evenodd\"" : "";
    } else {
        out_ += '"';
        Stroke(p.color);
    }
    out_ += "/>\n";
}

void TSvg::Polygon(const TScenePrim& p) {
    if (p.n == 2) {
        // A two-point solid: a band drawn as a wide line.
        SegmentPath(p.g[0], p.g[1], p.g[2], p.g[3]);
        Stroke(p.color);
        out_ += " stroke-width=\"3\"/>\n";
        return;
    }
    out_ += "<path d=\"M ";
    for (int i = 0; i < p.n && i < 4; ++i) {
        out_ += i ? " L " : "";
        Pt(p.g[2 * i], p.g[2 * i + 1]);
    }
    out_ += " Z\"";
    Fill(p.color);
    out_ += "/>\n";
}

void TSvg::Point(const TScenePrim& p) {
    CircleAt(p.g[0], p.g[1], f_.Dot());
    Fill(p.color);
    out_ += "/>\n";
}

// A picked point: a ring and its number.
void TSvg::Picked(const TScenePrim& p) {
    out_ += "<g class=\"picked\">";
    CircleAt(p.g[0], p.g[1], f_.Dot() * 2);
    Stroke(p.color);
    out_ += "/><text x=\"";
    Num(f_.X(p.g[0]) + f_.Dot() * 2.5);
    out_ += "\" y=\"";
    Num(f_.Y(p.g[1]) - f_.Dot() * 2.5);
    out_ += "\" font-size=\"";
    Num(f_.Dot() * 6);
    out_ += "\" fill=\"" + Colour(p.color) + "\">" + std::to_string(p.code) + "</text></g>\n";
}

// The text's box, dashed, and the text itself stretched over the box's length: along the
// reading direction for horizontal text, downwards from the top for vertical text.
void TSvg::Text(const TScenePrim& p) {
    double x[4], y[4];
    DavScene::TextCorners(p, x, y);
    out_ += "<g class=\"text\"><path d=\"M ";
    for (int i = 0; i < 4; ++i) {
        out_ += i ? " L " : "";
        Pt(x[i], y[i]);
    }
    out_ += " Z\"";
    Stroke(p.color);
    out_ += " stroke-dasharray=\"3 2\"/>";
    if (p.text != nullptr && !p.text->st.empty()) {
        const double ux = p.g[2], uy = p.g[3], vx = p.g[4], vy = p.g[5];
        const double angle = std::atan2(p.vertical ? -vx : uy, p.vertical ? vy : ux);
        const double deg = angle * 180.0 / 3.14159265358979323846;
        double ax = x[0], ay = y[0];
        double len = std::hypot(ux, uy);
        double size = std::hypot(vx, vy);
        if (p.vertical) {
            // Start at the middle of the top edge.
            ax = x[3] + ux / 2;
            ay = y[3] + uy / 2;
            len = std::hypot(vx, vy);
            size = std::hypot(ux, uy);
        }
        // The glyphs take the text type's width through a horizontal scale of the height,
        // which every renderer applies; textLength, which only some apply (not librsvg),
        // then fits the spacing exactly.
        const double sx = !p.vertical && p.g[6] > 0 && p.g[7] > 0 && std::isfinite(p.g[6] / p.g[7])
                              ? p.g[6] / p.g[7]
                              : 1.0;
        out_ += "<text x=\"0\" y=\"0\" font-size=\"";
        Num(f_.Len(p.vertical ? size : p.g[7]));
        out_ += "\" transform=\"translate(";
        Pt(ax, ay);
        out_ += ") rotate(";
        Num(-deg);
        out_ += ") scale(";
        Num(sx);
        out_ += " 1)\"";
        if (p.vertical) {
            out_ += " writing-mode=\"tb\"";
        }
        if (len > 0) {
            out_ += " textLength=\"";
            Num(f_.Len(len) / sx);
            out_ += "\" lengthAdjust=\"spacingAndGlyphs\"";
        }
        out_ += " fill=\"" + Colour(p.color) + "\" font-family=\"";
        std::u16string font = p.text->fo;
        if (font.size() >= 2 && font.front() == u'<' && font.back() == u'>') {
            font = font.substr(1, font.size() - 2);
        }
        AppendXml(out_, font);
        out_ += "\">";
        AppendXml(out_, p.text->st);
        out_ += "</text>";
    }
    out_ += "</g>\n";
}

// A marker: a cross in a circle, as large as its scale, turned by its angle.
void TSvg::Marker(const TScenePrim& p) {
    const double r = f_.Dot() * 3 * std::fabs(p.g[2]);
    out_ += "<g class=\"marker\" transform=\"rotate(";
    Num(-p.g[3]);
    out_ += ' ';
    Pt(p.g[0], p.g[1]);
    out_ += ")\"";
    Stroke(p.color);
    out_ += '>';
    CircleAt(p.g[0], p.g[1], r);
    const double cx = f_.X(p.g[0]), cy = f_.Y(p.g[1]);
    out_ += "/><path d=\"M ";
    PixelPt(cx - r, cy);
    out_ += " L ";
    PixelPt(cx + r, cy);
    out_ += " M ";
    PixelPt(cx, cy - r);
    out_ += " L ";
    PixelPt(cx, cy + r);
    out_ += "\"/></g>\n";
}

std::string TSvg::Run() {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ";
    Num(f_.Width());
    out_ += ' ';
    Num(f_.Height());
    out_ += "\" width=\"";
    Num(f_.Width());
    out_ += "\" height=\"";
    Num(f_.Height());
    out_ += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (const TSvgLayer& l : layers_) {
        out_ += l.dimmed ? "<g class=\"host\" opacity=\"0.3\" stroke-width=\"1\">\n"
                         : "<g stroke-width=\"1\">\n";
        for (const TScenePrim& p : l.scene->prims) {
            Prim(p);
        }
        out_ += "</g>\n";
    }
    out_ += "</svg>\n";
    return std::move(out_);
}

}  // namespace

std::string SceneSvg(std::span<const TSvgLayer> layers, int size, size_t* leftOut) {
    TSvg svg(layers, size);
    std::string out = svg.Run();
    if (leftOut != nullptr) {
        // What the scenes already left out, and what the picture could not place.
        *leftOut = svg.LeftOut();
        for (const TSvgLayer& l : layers) {
            *leftOut += static_cast<size_t>(l.scene->leftOut);
        }
    }
    return out;
}

std::string SceneSvg(const DavScene::TScene& scene) {
    const TSvgLayer layer{&scene, false};
    return SceneSvg({&layer, 1}, kSvgDefaultSize, nullptr);
}
