// PreviewHostLayer: the scene of the host's selected entities and picked points as the preview
// draws it, thin, in their display colours, on a white ground.
#pragma once

#include <optional>

#include <QRectF>

#include "exchange/DavScene.h"

class QPainter;
class QTransform;

// The rectangle, in the host's coordinates, that the scene spans; none for an empty scene.
std::optional<QRectF> HostExtent(const DavScene::TScene& scene);

// Draws every primitive of the scene, the picked points marked and numbered last. toDevice
// maps the host's coordinates (y upwards) to the painter's device; the painter's own
// transform is not used, so lines stay one pixel wide at any zoom.
void DrawHostLayer(QPainter& painter, const DavScene::TScene& scene, const QTransform& toDevice);
