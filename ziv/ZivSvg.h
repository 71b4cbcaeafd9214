// ZivSvg: drawing scenes as an SVG picture fitted to the drawing, y upwards, in pixels.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "scene/DavScene.h"

// The longer side of a picture, in pixels, unless asked otherwise.
inline constexpr int kSvgDefaultSize = 800;

// One scene of a picture; a dimmed one is drawn faintly, beneath the others.
struct TSvgLayer {
    const DavScene::TScene* scene = nullptr;
    bool dimmed = false;
};

// The layers in order, bottom first, in one frame fitted to all of them, the longer side size
// pixels. What has a coordinate that is not a finite number is left out; *leftOut (when given)
// says how many primitives.
std::string SceneSvg(std::span<const TSvgLayer> layers, int size, std::size_t* leftOut);
// One scene at the default size.
std::string SceneSvg(const DavScene::TScene& scene);
