// TextOutline: the box a placed text covers in the host's coordinates, and the cell of each
// of its characters, for drawing the text where OK places it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "Unit1Logic.h"

struct TOutlinePoint {
    double x = 0.0, y = 0.0;
};

// One character of the text and the stretch of the run it occupies.
struct TOutlineCell {
    std::u16string ch;   // one character: one code unit, or a surrogate pair
    double start = 0.0;  // distance from the start of the run to the character
    double size = 0.0;   // its extent along the run: the width (height when vertical), half
                         // of it for a half-width character
    bool halfWidth = false;
};

// The text's box in its own frame: u along the reading direction of a line (the direction
// vector), v a quarter turn counter-clockwise from it. Horizontal text runs along +u with its
// characters standing in +v; vertical text runs downwards, along -v, one character below
// the other, its width across along +u.
struct TTextOutline {
    bool vertical = false;
    double ux = 1.0, uy = 0.0;  // unit vector along the direction
    double vx = 0.0, vy = 1.0;  // unit vector a quarter turn from it
    double along = 0.0;         // extent along u
    double across = 0.0;        // extent along v
    TOutlinePoint origin;       // the corner at the smallest u and v
    // origin, then counter-clockwise: +u, +u+v, +v.
    std::array<TOutlinePoint, 4> corners;
    TOutlinePoint base;         // the placement point, where the base point sits
    std::vector<TOutlineCell> cells;  // in reading order
    // The length of the run: along for horizontal, across for vertical text.
    double run = 0.0;
};

// Vertical text is the orientation code 1; the other three run like horizontal text.
TTextOutline OutlineOf(const TTextPlacement& p);
// The point at (u, v) of the text's frame, measured from the box's origin.
TOutlinePoint OutlineAt(const TTextOutline& o, double u, double v);
