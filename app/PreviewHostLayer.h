// PreviewHostLayer: the scene of the host's selected entities and picked points as the preview
// draws it, thin, in their display colours, on a white ground.
#pragma once

#include <optional>

#include <QPointF>

#include "PreviewClip.h"
#include "PreviewFrame.h"
#include "scene/DavScene.h"

class QPainter;
class QTransform;

// The rectangle, in the host's coordinates, that the scene spans; none for an empty scene.
// Its corners are finite, its width and height may not be.
std::optional<TFrameRect> HostExtent(const DavScene::TScene& scene);

// Whether a point on the device is finite and near enough to the widget to hand to a painter.
bool OnDevice(const QPointF& p);

// Draws every primitive of the scene, the picked points marked and numbered last. toDevice
// maps the host's coordinates (y upwards) to the painter's device; the painter's own
// transform is not used, so lines stay one pixel wide at any zoom. Only what lies within clip
// (host coordinates, a little larger than the device) reaches the painter.
void DrawHostLayer(QPainter& painter, const DavScene::TScene& scene, const QTransform& toDevice,
                   const TFrameRect& clip);
