// ZivSvg: each primitive of the scene as an SVG element. The host's y axis points up and
// SVG's down, so every point is turned over the drawing's bounds: (x, y) becomes
// (x - left + margin, top - y + margin). Lines keep one pixel whatever the zoom.
#include "ziv/ZivSvg.h"

#include <algorithm>
#include <cmath>

#include "util/TextFile.h"
#include "ziv/ZivError.h"
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

class TSvg {
public:
    explicit TSvg(const DavScene::TScene& s) : scene_(s) {
        const DavScene::TBounds& b = s.bounds;
        double w = b.empty ? 1.0 : b.x2 - b.x1;
        double h = b.empty ? 1.0 : b.y2 - b.y1;
        const double size = std::max({w, h, 1e-9});
        margin_ = size * 0.05;
        left_ = b.empty ? 0.0 : b.x1;
        top_ = b.empty ? 0.0 : b.y2;
        width_ = std::max(w, size * 1e-3) + 2 * margin_;
        height_ = std::max(h, size * 1e-3) + 2 * margin_;
        dot_ = size / 300.0;
    }

    std::string Run();

private:
    void X(double x) { Num(x - left_ + margin_); }
    void Y(double y) { Num(top_ - y + margin_); }
    void Pt(double x, double y) {
        X(x);
        out_ += ' ';
        Y(y);
    }
    // A number that is not finite makes the picture unreadable: Run refuses it instead.
    void Num(double v) {
        finite_ = finite_ && std::isfinite(v);
        ZivNumber::Append(out_, v);
    }
    void Stroke(int c) { out_ += " fill=\"none\" stroke=\"" + Colour(c) + "\""; }
    void Fill(int c) { out_ += " fill=\"" + Colour(c) + "\" stroke=\"none\""; }

    void ArcTo(const TArcGeom& a, double r, double from, double sweep, bool reverse);
    void ArcPath(const TArcGeom& a, double r, double start, double sweep, bool reverse);
    void Prim(const TScenePrim& p);
    void Text(const TScenePrim& p);
    void Marker(const TScenePrim& p);

    const DavScene::TScene& scene_;
    std::string out_;
    bool finite_ = true;
    double left_ = 0, top_ = 0, margin_ = 0, width_ = 0, height_ = 0, dot_ = 0;
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
    Num(std::fabs(r));
    out_ += ' ';
    Num(std::fabs(r * a.flat));
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

void TSvg::Prim(const TScenePrim& p) {
    switch (p.kind) {
        case TPrimKind::Line:
            out_ += "<path d=\"M ";
            Pt(p.g[0], p.g[1]);
            out_ += " L ";
            Pt(p.g[2], p.g[3]);
            out_ += '"';
            Stroke(p.color);
            out_ += "/>\n";
            break;
        case TPrimKind::Arc:
        case TPrimKind::Sector:
        case TPrimKind::Segment:
        case TPrimKind::Ring: {
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
            break;
        }
        case TPrimKind::Polygon:
            if (p.n == 2) {
                // A two-point solid: a band drawn as a wide line.
                out_ += "<path d=\"M ";
                Pt(p.g[0], p.g[1]);
                out_ += " L ";
                Pt(p.g[2], p.g[3]);
                out_ +=
                    "\" fill=\"none\" stroke=\"" + Colour(p.color) + "\" stroke-width=\"3\"/>\n";
                break;
            }
            out_ += "<path d=\"M ";
            for (int i = 0; i < p.n && i < 4; ++i) {
                out_ += i ? " L " : "";
                Pt(p.g[2 * i], p.g[2 * i + 1]);
            }
            out_ += " Z\"";
            Fill(p.color);
            out_ += "/>\n";
            break;
        case TPrimKind::Text: Text(p); break;
        case TPrimKind::Point:
            out_ += "<circle cx=\"";
            X(p.g[0]);
            out_ += "\" cy=\"";
            Y(p.g[1]);
            out_ += "\" r=\"";
            Num(dot_);
            out_ += "\"";
            Fill(p.color);
            out_ += "/>\n";
            break;
        case TPrimKind::Marker: Marker(p); break;
        case TPrimKind::Picked:
            out_ += "<g class=\"picked\"><circle cx=\"";
            X(p.g[0]);
            out_ += "\" cy=\"";
            Y(p.g[1]);
            out_ += "\" r=\"";
            Num(dot_ * 2);
            out_ += "\"";
            Stroke(p.color);
            out_ += "/><text x=\"";
            X(p.g[0] + dot_ * 2.5);
            out_ += "\" y=\"";
            Y(p.g[1] + dot_ * 2.5);
            out_ += "\" font-size=\"";
            Num(dot_ * 6);
            out_ +=
                "\" fill=\"" + Colour(p.color) + "\">" + std::to_string(p.code) + "</text></g>\n";
            break;
    }
}

// The text's box, and the text itself stretched over the box's length: along the reading
// direction for horizontal text, downwards from the top for vertical text.
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
    out_ += " stroke-dasharray=\"2 2\"/>";
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
        out_ += "<text x=\"";
        X(ax);
        out_ += "\" y=\"";
        Y(ay);
        out_ += "\" font-size=\"";
        Num(p.vertical ? size : p.g[7]);
        out_ += "\" transform=\"rotate(";
        Num(-deg);
        out_ += ' ';
        Pt(ax, ay);
        out_ += ")\"";
        if (p.vertical) {
            out_ += " writing-mode=\"tb\"";
        }
        if (len > 0) {
            out_ += " textLength=\"";
            Num(len);
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
    const double r = dot_ * 3 * std::fabs(p.g[2]);
    out_ += "<g class=\"marker\" transform=\"rotate(";
    Num(-p.g[3]);
    out_ += ' ';
    Pt(p.g[0], p.g[1]);
    out_ += ")\"";
    Stroke(p.color);
    out_ += "><circle cx=\"";
    X(p.g[0]);
    out_ += "\" cy=\"";
    Y(p.g[1]);
    out_ += "\" r=\"";
    Num(r);
    out_ += "\"/><path d=\"M ";
    Pt(p.g[0] - r, p.g[1]);
    out_ += " L ";
    Pt(p.g[0] + r, p.g[1]);
    out_ += " M ";
    Pt(p.g[0], p.g[1] - r);
    out_ += " L ";
    Pt(p.g[0], p.g[1] + r);
    out_ += "\"/></g>\n";
}

std::string TSvg::Run() {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ";
    Num(width_);
    out_ += ' ';
    Num(height_);
    out_ += "\" width=\"800\" height=\"";
    Num(std::clamp(800.0 * height_ / width_, 1.0, 8000.0));
    out_ += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    // Lines one pixel wide at any zoom.
    out_ += "<style>path,circle{vector-effect:non-scaling-stroke}</style>\n";
    out_ += "<g stroke-width=\"1\">\n";
    for (const TScenePrim& p : scene_.prims) {
        Prim(p);
    }
    out_ += "</g>\n</svg>\n";
    if (!finite_) {
        throw TZivError("cannot draw: the drawing spans more than the range of numbers");
    }
    return std::move(out_);
}

}  // namespace

std::string SceneSvg(const DavScene::TScene& scene) {
    return TSvg(scene).Run();
}
