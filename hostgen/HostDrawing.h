// HostDrawing: the Drawing profile, a drawing's settings and a large selection of entities.
#pragma once

#include "hostgen/HostGen.h"

void DrawingLines(const THostFileRequest& request, const THostLineSink& emit);
