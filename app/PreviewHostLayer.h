// PreviewHostLayer: the host's selected entities and picked points as the preview draws them,
// thin, in their display colours, on a white ground.
#pragma once

#include <optional>

#include <QRectF>

class QPainter;
class QTransform;
class TJGdata;

// The rectangle, in the host's coordinates, that the entities and the picked points span;
// none when the host sent none of them.
std::optional<QRectF> HostExtent(const TJGdata& jg);

// Draws every entity, then the picked points marked and numbered. toDevice maps the host's
// coordinates (y upwards) to the painter's device; the painter's own transform is not used,
// so lines stay one pixel wide at any zoom.
void DrawHostLayer(QPainter& painter, const TJGdata& jg, const QTransform& toDevice);
