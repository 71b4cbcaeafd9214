/// \file
/// DavScene: what a model looks like, as a flat list of drawing primitives in the host's
/// coordinates (y up), built in one pass over the drawing order (target r407::scene). An SVG
/// writer and a QPainter view draw the same scene; neither needs to know the exchange file's
/// entity kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "../exchange/DavGaibu.h"

/// The drawing scene of a model and the geometry its writers share.
namespace DavScene {

/// What one primitive is. The meaning of TScenePrim::g depends on it (see TScenePrim).
enum class TPrimKind : std::uint8_t {
    Line,     ///< g: x1 y1 x2 y2
    Arc,      ///< an open arc or a whole circle or ellipse; g: the TArcGeom fields
    Sector,   ///< filled: the arc and the two radii to its centre; g: TArcGeom
    Segment,  ///< filled: the arc closed by its chord; g: TArcGeom
    Ring,     ///< filled: between the arc and the same arc at the inner radius g[7]; g: TArcGeom
    Polygon,  ///< filled: n corners (2 to 4) in g as x1 y1 x2 y2 ...; 2 is a band, a wide line
    Text,     ///< g: origin x y, along ux uy, up vx vy, character width, character height
    Point,    ///< g: x y
    Marker,   ///< g: x y scale angle(degrees); code: the marker code
    Picked,   ///< a picked point; g: x y; code: its number 1..99
};

/// An elliptic arc kept parametric: the point at parameter t (degrees) is
/// centre + rotate(tilt) * (r cos t, r * flat * sin t). sweep is positive (counter-clockwise)
/// and at most 360; 360 is the whole curve. For a ring, inner is the inner radius.
struct TArcGeom {
    double cx;     ///< centre x
    double cy;     ///< centre y
    double r;      ///< radius
    double flat;   ///< flatness: the ratio of the second axis to r (1 for a circle)
    double tilt;   ///< the turn of the first axis, degrees counter-clockwise
    double start;  ///< the parameter where the arc starts, degrees
    double sweep;  ///< the parameter swept counter-clockwise, degrees, in (0, 360]
    double inner;  ///< rings: the inner radius; 0 otherwise
};

/// One primitive. Geometry lives in the fixed array g, so a scene of a million entities is one
/// allocation. A text refers to its record in the model rather than copying it: the scene is
/// valid as long as the model it was built from is neither changed nor freed.
struct TScenePrim {
    TPrimKind kind = TPrimKind::Line;  ///< what the primitive is; says what g holds
    bool vertical = false;             ///< texts: the characters run downwards, along -up
    std::uint8_t n = 0;                ///< polygons: the number of corners
    int color = 0;                     ///< display colour, red + 256 * green + 65536 * blue
    int ent = -1;      ///< index of the entity in the model's EntNo; -1 for picked points
    int code = 0;      ///< markers: the marker code; picked points: the number; solids: fl
    double g[8] = {};  ///< the geometry, as TPrimKind says for each kind
    const TDavEntText* text = nullptr;  ///< texts: the record (a dimension's txt for its text)

    /// The geometry of an arc, sector, segment or ring.
    TArcGeom Arc() const { return {g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7]}; }
};

/// A box around points, empty until the first finite point.
struct TBounds {
    double x1 = 0.0;    ///< the smallest x
    double y1 = 0.0;    ///< the smallest y
    double x2 = 0.0;    ///< the largest x
    double y2 = 0.0;    ///< the largest y
    bool empty = true;  ///< no point added yet
    /// Widens the box to (x, y); a point that is not finite is ignored.
    void Add(double x, double y);
};

/// A model's drawing: its primitives in drawing order and their bounds.
struct TScene {
    /// Every entity's primitives in drawing order, then the picked points.
    std::vector<TScenePrim> prims;
    /// Of every primitive's geometry, picked points included. Its corners are finite; its
    /// width and height (x2 - x1, y2 - y1) may exceed the range of numbers.
    TBounds bounds;
    /// The primitives left out because a number of theirs, or a point they reach (a corner of
    /// a text's box, the far side of a circle), is not finite: they cannot be drawn.
    int leftOut = 0;
};

/// Builds the scene of every entity in drawing order, then the picked points. Every number of
/// every primitive it holds is finite.
TScene BuildScene(const TJGdata& jg);

/// The display colour of a solid: its own RGB value rgb when its colour code col is the solid
/// colour code 10, else the display colour of that code.
int SolidColorDisp(const TJGdata& jg, int col, int rgb);

/// The point of the arc at parameter tDeg (degrees), into x and y.
void ArcPoint(const TArcGeom& a, double tDeg, double& x, double& y);
/// The same point with the inner radius in place of r.
void ArcInnerPoint(const TArcGeom& a, double tDeg, double& x, double& y);

/// A text's box: the four corners, counter-clockwise from the origin.
void TextCorners(const TScenePrim& p, double (&x)[4], double (&y)[4]);

}  // namespace DavScene
