// PreviewFrame: the part of the host's plane that the preview shows, as a centre and a scale,
// kept where every pixel maps to a finite host point and back, whatever the host's extent and
// however far the user zooms or pans.
#pragma once

// A rectangle in the host's coordinates (y upwards), corners included.
struct TFrameRect {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
};

// Host to pixels: px = OffsetX() + Scale() * x, py = OffsetY() - Scale() * y.
class TPreviewFrame {
public:
    // The widget's size in pixels (at least one each way).
    void SetSize(double width, double height);
    // Shows box (corners in any order, finite or not; what is not finite is left out) with a
    // margin around it; a box smaller than the smallest span, or none, is shown at that span
    // about its centre.
    void Fit(const TFrameRect* box);
    // Zooms by factor about the pixel (px, py), which keeps its host point where the limits
    // allow.
    void Zoom(double factor, double px, double py);
    // Moves the picture by (dx, dy) pixels.
    void Pan(double dx, double dy);

    double Scale() const { return scale_; }
    double OffsetX() const;
    double OffsetY() const;
    double CentreX() const { return cx_; }
    double CentreY() const { return cy_; }
    // The host's rectangle that the widget shows, widened by margin pixels each way.
    TFrameRect Visible(double margin) const;
    // The host point at the pixel (px, py).
    double HostX(double px) const;
    double HostY(double py) const;

    // The farthest from the origin that the centre goes, and the most that half the widget
    // and its margin span: together they keep every visible corner within 0.95 of the largest
    // double, so that corners, centres and half spans are all finite.
    static const double kMaxCentre;
    static const double kMaxHalfSpan;
    // The strongest zoom: a pixel is one billionth of a host unit.
    static constexpr double kMaxScale = 1e9;
    // Near a large centre a pixel spans at least this many of its units in the last place, so
    // that neighbouring pixels stay distinct host points.
    static constexpr double kUlpsPerPixel = 16.0;
    // Pixels around the widget that Visible may add.
    static constexpr double kMaxMargin = 64.0;

private:
    void Limit();
    double MaxScale() const;
    double MinScale() const;

    double width_ = 1.0, height_ = 1.0;
    double cx_ = 0.0, cy_ = 0.0;
    double scale_ = 1.0;
};

// The smallest rectangle holding both.
inline TFrameRect Joined(const TFrameRect& a, const TFrameRect& b) {
    return {a.x1 < b.x1 ? a.x1 : b.x1, a.y1 < b.y1 ? a.y1 : b.y1, a.x2 > b.x2 ? a.x2 : b.x2,
            a.y2 > b.y2 ? a.y2 : b.y2};
}

// Whether inner lies wholly in outer.
inline bool Contains(const TFrameRect& outer, const TFrameRect& inner) {
    return inner.x1 >= outer.x1 && inner.x2 <= outer.x2 && inner.y1 >= outer.y1 &&
           inner.y2 <= outer.y2;
}
