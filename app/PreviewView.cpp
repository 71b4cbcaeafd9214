// PreviewView: the preview's drawing, zoom and pan.
#include "PreviewView.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QWheelEvent>

#include "PreviewHostLayer.h"

namespace {

constexpr double kWheelStep = 1.2;  // zoom per notch of the wheel
// The old picture is shown moved and scaled while the view changes only within this zoom of
// the view it was drawn for; beyond, the ground alone until it is drawn anew.
constexpr double kMostImageZoom = 64.0;
// What lies this many pixels around the widget is drawn as well, for the pens' widths.
constexpr double kClipMargin = 16.0;
constexpr int kRenderPauseMs = 120;
constexpr int kCross = 7;     // half size of the base point's cross, pixels
constexpr double kDot = 2.5;  // radius of the nine base-point marks
// The glyphs are laid out at this pixel size and scaled into their cells.
constexpr double kGlyphPixels = 100.0;

const QColor kGround(255, 255, 255);
const QColor kOutline(230, 0, 126);
const QColor kSpan(0, 160, 150);
const QColor kGlyph(40, 40, 40);

// The part of a line of the host's plane that lies near the widget.
void DrawNearLine(QPainter& painter, const QTransform& t, const TFrameRect& clip, TClipPoint a,
                  TClipPoint b) {
    if (ClipSegment(a, b, clip)) {
        painter.drawLine(t.map(QLineF(a.x, a.y, b.x, b.y)));
    }
}

// The characters, each scaled into its cell. Vertical text stacks its cells downwards from the
// top of the box.
void DrawGlyphs(QPainter& painter, const TTextPlacement& p, const TTextOutline& o,
                const QTransform& t) {
    QFont font(p.fontName.empty() ? QStringLiteral("ＭＳ ゴシック")
                                  : QString::fromStdU16String(p.fontName));
    font.setPixelSize(static_cast<int>(kGlyphPixels));
    font.setItalic(p.italic);
    font.setBold(p.bold);
    painter.setFont(font);
    painter.setPen(kGlyph);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // The text's frame: u along the direction, v across it, from the box's origin.
    const QTransform frame(o.ux, o.uy, o.vx, o.vy, o.origin.x, o.origin.y);
    const double cellAcross = o.vertical ? o.along : o.across;
    if (!(cellAcross > 0.0 && std::isfinite(cellAcross))) {
        return;
    }
    for (const TOutlineCell& cell : o.cells) {
        if (!(cell.size > 0.0)) {
            continue;
        }
        // Cell pixels (a right, b down; a full-width cell is kGlyphPixels square, a half-width
        // one half as wide across the run) to the text's frame.
        const double run = cell.halfWidth ? kGlyphPixels / 2 : kGlyphPixels;
        QTransform local;
        QRectF box;
        if (o.vertical) {
            const double top = o.across - cell.start;
            local = QTransform(cellAcross / kGlyphPixels, 0, 0, -cell.size / run, 0, top);
            box = QRectF(0, 0, kGlyphPixels, run);
        } else {
            local = QTransform(cell.size / run, 0, 0, -cellAcross / kGlyphPixels, cell.start,
                               cellAcross);
            box = QRectF(0, 0, run, kGlyphPixels);
        }
        painter.setTransform(local * frame * t);
        painter.drawText(box, Qt::AlignCenter, QString::fromStdU16String(cell.ch));
    }
}

// The box, the nine base points on it, the chosen one as a cross, and the offsets: from the
// point the text would sit on without them to where it sits.
void DrawMarks(QPainter& painter, const TTextPlacement& p, const TTextOutline& o,
               const QTransform& t, const TFrameRect& clip) {
    painter.setPen(QPen(kOutline, 0));
    painter.setBrush(Qt::NoBrush);
    for (size_t i = 0; i < o.corners.size(); ++i) {
        const TOutlinePoint& a = o.corners[i];
        const TOutlinePoint& b = o.corners[(i + 1) % o.corners.size()];
        DrawNearLine(painter, t, clip, {a.x, a.y}, {b.x, b.y});
    }
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const TOutlinePoint at = OutlineAt(o, o.along * column / 2.0, o.across * row / 2.0);
            if (!Inside({at.x, at.y}, clip)) {
                continue;
            }
            if (3 * row + column == p.basePoint) {
                painter.setBrush(kOutline);
            }
            painter.drawEllipse(t.map(QPointF(at.x, at.y)), kDot, kDot);
            painter.setBrush(Qt::NoBrush);
        }
    }
    if (Inside({p.x, p.y}, clip)) {
        const QPointF base = t.map(QPointF(p.x, p.y));
        painter.drawLine(QLineF(base.x() - kCross, base.y(), base.x() + kCross, base.y()));
        painter.drawLine(QLineF(base.x(), base.y() - kCross, base.x(), base.y() + kCross));
    }
    if (p.lateral != 0.0 || p.vertical != 0.0) {
        painter.setPen(QPen(kOutline, 0, Qt::DotLine));
        DrawNearLine(painter, t, clip, {p.baseX, p.baseY}, {p.x, p.y});
    }
}

}  // namespace

TPreviewView::TPreviewView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setCursor(Qt::OpenHandCursor);
    renderTimer_.setSingleShot(true);
    renderTimer_.setInterval(kRenderPauseMs);
    connect(&renderTimer_, &QTimer::timeout, this, [this] {
        RenderHost();
        update();
    });
}

QColor TPreviewView::OutlineColour() {
    return kOutline;
}

TPreviewView::~TPreviewView() {
    SetHost(nullptr);
}

void TPreviewView::SetHost(const TJGdata* jg) {
    ++generation_;
    if (building_.valid()) {
        building_.wait();
        building_ = {};
    }
    scene_ = DavScene::TScene{};
    hostExtent_.reset();
    hostImage_ = QImage();
    fitted_ = false;
    if (jg != nullptr) {
        const int generation = generation_;
        building_ = std::async(std::launch::async, [this, jg, generation] {
            DavScene::TScene scene = DavScene::BuildScene(*jg);
            QMetaObject::invokeMethod(
                this, [this, generation] { TakeScene(generation); }, Qt::QueuedConnection);
            return scene;
        });
    }
    update();
}

// The scene built for the current host arrives: the view is fitted to it as well, unless the
// user has moved it, and the host's entities are drawn.
void TPreviewView::TakeScene(int generation) {
    if (generation != generation_ || !building_.valid()) {
        return;
    }
    scene_ = building_.get();
    hostExtent_ = HostExtent(scene_);
    hostImage_ = QImage();
    if (!userMoved_) {
        Fit();
    }
    update();
}

void TPreviewView::SetText(const std::optional<TTextPlacement>& placement) {
    placement_ = placement;
    if (placement) {
        outline_ = OutlineOf(*placement);
    } else {
        outline_.reset();
    }
    // Keep the user's view; otherwise follow the text when it leaves the picture.
    const std::optional<TFrameRect> text = TextBounds();
    if (!fitted_ || (!userMoved_ && text && !Contains(frame_.Visible(0.0), *text))) {
        Fit();
    }
    update();
}

QTransform TPreviewView::ToWidget() const {
    const double s = frame_.Scale();
    return QTransform(s, 0.0, 0.0, -s, frame_.OffsetX(), frame_.OffsetY());
}

// Everything the text layer shows, in the host's coordinates.
std::optional<TFrameRect> TPreviewView::TextBounds() const {
    if (!placement_ || !outline_) {
        return std::nullopt;
    }
    QPolygonF pts;
    for (const TOutlinePoint& c : outline_->corners) {
        pts << QPointF(c.x, c.y);
    }
    pts << QPointF(placement_->x, placement_->y) << QPointF(placement_->baseX, placement_->baseY);
    if (placement_->fit) {
        pts << QPointF(placement_->fitX1, placement_->fitY1)
            << QPointF(placement_->fitX2, placement_->fitY2);
    }
    TFrameRect b{pts[0].x(), pts[0].y(), pts[0].x(), pts[0].y()};
    for (const QPointF& p : pts) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            return std::nullopt;
        }
        b = Joined(b, TFrameRect{p.x(), p.y(), p.x(), p.y()});
    }
    return b;
}

std::optional<TFrameRect> TPreviewView::Bounds() const {
    const std::optional<TFrameRect> text = TextBounds();
    if (hostExtent_ && text) {
        return Joined(*hostExtent_, *text);
    }
    return hostExtent_ ? hostExtent_ : text;
}

void TPreviewView::Fit() {
    frame_.SetSize(width(), height());
    const std::optional<TFrameRect> b = Bounds();
    frame_.Fit(b ? &*b : nullptr);
    fitted_ = true;
    update();
}

void TPreviewView::RenderHost() {
    renderTimer_.stop();
    const qreal dpr = devicePixelRatioF();
    QImage image((size() * dpr).expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(kGround);
    if (!scene_.prims.empty()) {
        QPainter painter(&image);
        DrawHostLayer(painter, scene_, ToWidget(), frame_.Visible(kClipMargin));
    }
    hostImage_ = std::move(image);
    imageScale_ = frame_.Scale();
    imageOffset_ = QPointF(frame_.OffsetX(), frame_.OffsetY());
    ++hostRenders_;
}

void TPreviewView::ScheduleRender() {
    renderTimer_.start();
}

void TPreviewView::paintEvent(QPaintEvent*) {
    if (hostImage_.isNull() || hostImage_.size() != (size() * devicePixelRatioF())) {
        RenderHost();
    }
    QPainter painter(this);
    const QPointF offset(frame_.OffsetX(), frame_.OffsetY());
    if (imageScale_ == frame_.Scale() && imageOffset_ == offset) {
        painter.drawImage(0, 0, hostImage_);
    } else {
        // The old picture, moved and scaled to the new view until it is drawn anew; after a
        // jump too far for it to be of use, the ground alone.
        painter.fillRect(rect(), kGround);
        const double k = frame_.Scale() / imageScale_;
        const QPointF shift = offset - k * imageOffset_;
        const double reach = kMostImageZoom * std::max(width(), height());
        if (k >= 1.0 / kMostImageZoom && k <= kMostImageZoom && std::fabs(shift.x()) <= reach &&
            std::fabs(shift.y()) <= reach) {
            painter.save();
            painter.setTransform(QTransform(k, 0, 0, k, shift.x(), shift.y()));
            painter.drawImage(0, 0, hostImage_);
            painter.restore();
        }
        if (!renderTimer_.isActive()) {
            ScheduleRender();
        }
    }
    DrawText(painter);
}

void TPreviewView::DrawText(QPainter& painter) const {
    if (!placement_ || !outline_) {
        return;
    }
    const TTextPlacement& p = *placement_;
    const TTextOutline& o = *outline_;
    const QTransform t = ToWidget();
    const TFrameRect clip = frame_.Visible(kClipMargin);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The span a fitted text is sized to.
    if (p.fit) {
        QPen pen(kSpan, 0, Qt::DashLine);
        painter.setPen(pen);
        DrawNearLine(painter, t, clip, {p.fitX1, p.fitY1}, {p.fitX2, p.fitY2});
    }
    // The characters only of a box that lies near the widget in whole.
    bool near = true;
    for (const TOutlinePoint& c : o.corners) {
        near = near && OnDevice(t.map(QPointF(c.x, c.y)));
    }
    if (near) {
        DrawGlyphs(painter, p, o, t);
    }
    painter.resetTransform();
    DrawMarks(painter, p, o, t, clip);
    painter.restore();
}

void TPreviewView::resizeEvent(QResizeEvent*) {
    frame_.SetSize(width(), height());
    if (!userMoved_) {
        Fit();
    }
}

void TPreviewView::wheelEvent(QWheelEvent* event) {
    // Zoom about the point under the cursor; the wheel goes no further than the preview.
    event->accept();
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) {
        return;
    }
    const QPointF c = event->position();
    frame_.Zoom(std::pow(kWheelStep, notches), c.x(), c.y());
    userMoved_ = true;
    update();
}

void TPreviewView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void TPreviewView::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_) {
        const QPointF by = event->position() - *dragFrom_;
        frame_.Pan(by.x(), by.y());
        dragFrom_ = event->position();
        userMoved_ = true;
        update();
    }
    event->accept();
}

void TPreviewView::mouseReleaseEvent(QMouseEvent* event) {
    dragFrom_.reset();
    setCursor(Qt::OpenHandCursor);
    event->accept();
}

void TPreviewView::mouseDoubleClickEvent(QMouseEvent* event) {
    userMoved_ = false;
    Fit();
    event->accept();
}
