// PreviewClip: lines and polygons of the host's plane cut to a rectangle before they are
// drawn, so that the device is only ever given points near the widget. The arithmetic stays
// within the range of numbers for any finite input, a line from -1e308 to 1e308 included.
#pragma once

#include <vector>

#include "PreviewFrame.h"

struct TClipPoint {
    double x = 0.0, y = 0.0;
};

// Cuts the segment from a to b to the rectangle r (finite, x1 <= x2, y1 <= y2). False when
// no part of it lies inside, or when a point is not finite; a and b are then left as they were.
bool ClipSegment(TClipPoint& a, TClipPoint& b, const TFrameRect& r);

// Cuts the closed polygon to the rectangle r (Sutherland and Hodgman: one edge of r at a
// time). The result may have edges along r's border; it is empty when nothing lies inside
// or a corner is not finite.
std::vector<TClipPoint> ClipPolygon(const std::vector<TClipPoint>& corners, const TFrameRect& r);

// Whether the point lies in r.
inline bool Inside(const TClipPoint& p, const TFrameRect& r) {
    return p.x >= r.x1 && p.x <= r.x2 && p.y >= r.y1 && p.y <= r.y2;
}
