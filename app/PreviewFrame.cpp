// PreviewFrame: the preview's centre and scale within the range of numbers (see PreviewFrame.h).
#include "PreviewFrame.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// Part of the view left free around everything shown when it is fitted.
constexpr double kMargin = 0.08;
// A view of nothing, or of a single point, spans this much of the host's coordinates.
constexpr double kSmallestSpan = 10.0;
// The farthest a fitted box reaches: what lies beyond is brought to it.
constexpr double kMaxReach = 0.9 * kLargest;

double Finite(double v, double otherwise) {
    return std::isfinite(v) ? v : otherwise;
}

}  // namespace

const double TPreviewFrame::kMaxCentre = 0.3 * kLargest;
const double TPreviewFrame::kMaxHalfSpan = 0.65 * kLargest;

void TPreviewFrame::SetSize(double width, double height) {
    width_ = std::clamp(Finite(width, 1.0), 1.0, 1e6);
    height_ = std::clamp(Finite(height, 1.0), 1.0, 1e6);
    Limit();
}

// The arithmetic is done in halves (x1 / 2 + x2 / 2, x2 / 2 - x1 / 2), which never leave the
// range of numbers even for a box from -1e308 to 1e308.
void TPreviewFrame::Fit(const TFrameRect* box) {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    if (box != nullptr) {
        x1 = std::clamp(Finite(std::min(box->x1, box->x2), -kMaxReach), -kMaxReach, kMaxReach);
        x2 = std::clamp(Finite(std::max(box->x1, box->x2), kMaxReach), -kMaxReach, kMaxReach);
        y1 = std::clamp(Finite(std::min(box->y1, box->y2), -kMaxReach), -kMaxReach, kMaxReach);
        y2 = std::clamp(Finite(std::max(box->y1, box->y2), kMaxReach), -kMaxReach, kMaxReach);
    }
    cx_ = std::clamp(x1 / 2 + x2 / 2, -kMaxCentre, kMaxCentre);
    cy_ = std::clamp(y1 / 2 + y2 / 2, -kMaxCentre, kMaxCentre);
    // Half the span each way from the centre, which may have been brought inwards: a quarter
    // of the span when the centre is the box's own.
    double qx = std::max(x2 / 2 - cx_ / 2, cx_ / 2 - x1 / 2);
    double qy = std::max(y2 / 2 - cy_ / 2, cy_ / 2 - y1 / 2);
    if (qx < kSmallestSpan / 4 && qy < kSmallestSpan / 4) {
        qx = qy = kSmallestSpan / 4;
    }
    const double room = (1.0 - 2 * kMargin) / 4;
    const double sx = width_ * room / std::max(qx, std::numeric_limits<double>::min());
    const double sy = height_ * room / std::max(qy, std::numeric_limits<double>::min());
    scale_ = std::min(sx, sy);
    Limit();
}

void TPreviewFrame::Zoom(double factor, double px, double py) {
    if (!std::isfinite(factor) || !(factor > 0.0) || !std::isfinite(px) || !std::isfinite(py)) {
        return;
    }
    px = std::clamp(px, -kMaxMargin, width_ + kMaxMargin);
    py = std::clamp(py, -kMaxMargin, height_ + kMaxMargin);
    const double hx = HostX(px), hy = HostY(py);
    scale_ = std::clamp(scale_ * factor, MinScale(), MaxScale());
    cx_ = hx - (px - width_ / 2) / scale_;
    cy_ = hy + (py - height_ / 2) / scale_;
    Limit();
}

void TPreviewFrame::Pan(double dx, double dy) {
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        return;
    }
    cx_ -= std::clamp(dx, -width_, width_) / scale_;
    cy_ += std::clamp(dy, -height_, height_) / scale_;
    Limit();
}

double TPreviewFrame::OffsetX() const {
    return width_ / 2 - scale_ * cx_;
}

double TPreviewFrame::OffsetY() const {
    return height_ / 2 + scale_ * cy_;
}

double TPreviewFrame::HostX(double px) const {
    return cx_ + (std::clamp(px, -kMaxMargin, width_ + kMaxMargin) - width_ / 2) / scale_;
}

double TPreviewFrame::HostY(double py) const {
    return cy_ - (std::clamp(py, -kMaxMargin, height_ + kMaxMargin) - height_ / 2) / scale_;
}

TFrameRect TPreviewFrame::Visible(double margin) const {
    const double m = std::clamp(Finite(margin, 0.0), 0.0, kMaxMargin);
    return {HostX(-m), HostY(height_ + m), HostX(width_ + m), HostY(-m)};
}

// One pixel spans no less than a billionth of a unit, nor fewer than kUlpsPerPixel units in
// the last place of the centre's coordinates.
double TPreviewFrame::MaxScale() const {
    const double far = std::max(std::fabs(cx_), std::fabs(cy_));
    return std::min(kMaxScale, 1.0 / (kUlpsPerPixel * kEpsilon * std::max(far, 1.0)));
}

// Half the widget and its margin span no more than kMaxHalfSpan.
double TPreviewFrame::MinScale() const {
    return (std::max(width_, height_) / 2 + kMaxMargin) / kMaxHalfSpan;
}

// Brings the centre and the scale back within their limits; what is not a number is replaced.
void TPreviewFrame::Limit() {
    cx_ = std::clamp(Finite(cx_, 0.0), -kMaxCentre, kMaxCentre);
    cy_ = std::clamp(Finite(cy_, 0.0), -kMaxCentre, kMaxCentre);
    scale_ = std::clamp(Finite(scale_, 1.0), MinScale(), MaxScale());
}
