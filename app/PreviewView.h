// PreviewView: the drawing of the preview: the host's entities and picked points from a cached
// picture, the text that OK would place drawn over it on every change; the wheel zooms about
// the cursor, dragging pans, a double click fits everything in again.
#pragma once

#include <future>
#include <optional>

#include <QImage>
#include <QPointF>
#include <QTimer>
#include <QTransform>
#include <QWidget>

#include "PreviewFrame.h"
#include "TextOutline.h"
#include "Unit1Logic.h"
#include "scene/DavScene.h"

class TJGdata;

class TPreviewView : public QWidget {
    Q_OBJECT

public:
    explicit TPreviewView(QWidget* parent = nullptr);
    ~TPreviewView() override;

    // The host's model, or nullptr. Its drawing scene is built once, on a thread of its own so
    // that a large selection never holds up the dialog: until it is there, the view shows the
    // text alone. The model must stay as it is until it is replaced (SetHost(nullptr) waits
    // for the building to end), as the scene reads it and its texts refer to it.
    void SetHost(const TJGdata* jg);
    // Whether the host's scene is in place (always, without a host).
    bool HostReady() const { return !building_.valid(); }
    // The text to show, or none (a blank text). The view is fitted to everything shown the
    // first time, and again whenever the text leaves it, unless the user has moved the view.
    void SetText(const std::optional<TTextPlacement>& placement);
    // Fits the view to the host's entities, the picked points and the text, with a margin.
    void Fit();

    // The mapping from the host's coordinates (y upwards) to the widget's pixels.
    QTransform ToWidget() const;
    // How often the host's entities were drawn into the cached picture.
    int HostRenders() const { return hostRenders_; }

    // The colour of the text's box and base points, for whoever checks the drawing.
    static QColor OutlineColour();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::optional<TFrameRect> Bounds() const;
    std::optional<TFrameRect> TextBounds() const;
    void RenderHost();
    void DrawText(QPainter& painter) const;
    void ScheduleRender();
    void TakeScene(int generation);

    DavScene::TScene scene_;
    std::future<DavScene::TScene> building_;
    int generation_ = 0;  // which SetHost a finished building belongs to
    std::optional<TFrameRect> hostExtent_;
    std::optional<TTextPlacement> placement_;
    std::optional<TTextOutline> outline_;

    // Host pixel = offset + scale x host coordinate, with y turned upside down; the frame
    // keeps both finite.
    TPreviewFrame frame_;
    bool fitted_ = false;
    bool userMoved_ = false;

    // The host's entities as last drawn, and the view they were drawn for.
    QImage hostImage_;
    double imageScale_ = 0.0;
    QPointF imageOffset_;
    // Zoom and pan show the old picture moved at once and draw it anew once they pause.
    QTimer renderTimer_;
    int hostRenders_ = 0;

    std::optional<QPointF> dragFrom_;
};
