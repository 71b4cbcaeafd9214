// TextOutline: the box a placed text covers, from its placement record.
#include "TextOutline.h"

#include <cmath>

#include "util/MyFunc.h"

namespace {

constexpr int kVerticalCode = 1;

// The characters of the text with their stretch of the run, counted as TextLength counts
// them: a half-width unit takes half the size and half the spacing, a surrogate pair is one
// character, and the spacing follows every character.
std::vector<TOutlineCell> Cells(std::u16string_view text, double size, double spacing) {
    std::vector<TOutlineCell> cells;
    double at = 0.0;
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        TOutlineCell cell;
        cell.start = at;
        const std::u16string_view unit = text.substr(i, 1);
        if (IsHalfWidth(unit)) {
            cell.ch = std::u16string(unit);
            cell.size = size / 2.0;
            cell.halfWidth = true;
            at += size / 2.0 + spacing / 2.0;
        } else {
            size_t units = 1;
            if (SurrogateKind(unit) == 1 && i + 1 < n && SurrogateKind(text.substr(i + 1, 1)) == 2) {
                units = 2;
            }
            cell.ch = std::u16string(text.substr(i, units));
            cell.size = size;
            at += size + spacing;
            i += units - 1;
        }
        cells.push_back(std::move(cell));
    }
    return cells;
}

}  // namespace

TOutlinePoint OutlineAt(const TTextOutline& o, double u, double v) {
    return {o.origin.x + u * o.ux + v * o.vx, o.origin.y + u * o.uy + v * o.vy};
}

TTextOutline OutlineOf(const TTextPlacement& p) {
    TTextOutline o;
    o.vertical = p.orientation == kVerticalCode;
    // The direction as sent: the vector that the host turns the text by.
    const double len = std::hypot(p.dx, p.dy);
    if (len > 0.0 && std::isfinite(len)) {
        o.ux = p.dx / len;
        o.uy = p.dy / len;
    }
    o.vx = -o.uy;
    o.vy = o.ux;
    o.base = {p.x, p.y};

    if (o.vertical) {
        o.cells = Cells(p.text, p.h, p.d);
        o.run = TextLength(p.text, p.h, p.d);
        o.along = p.w;
        o.across = o.run;
    } else {
        o.cells = Cells(p.text, p.w, p.d);
        o.run = TextLength(p.text, p.w, p.d);
        o.along = o.run;
        o.across = p.h;
    }

    // The base point's column picks left, centre or right of the box along u, its row bottom,
    // middle or top across it.
    const int column = p.basePoint % 3;
    const int row = p.basePoint / 3;
    const double u0 = -o.along * column / 2.0;
    const double v0 = -o.across * row / 2.0;
    o.origin = {p.x + u0 * o.ux + v0 * o.vx, p.y + u0 * o.uy + v0 * o.vy};
    o.corners = {o.origin, OutlineAt(o, o.along, 0.0), OutlineAt(o, o.along, o.across),
                 OutlineAt(o, 0.0, o.across)};
    return o;
}
