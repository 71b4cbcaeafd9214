// ZivSvg: a drawing scene as an SVG picture fitted to the drawing, y upwards.
#pragma once

#include <string>

#include "exchange/DavScene.h"

std::string SceneSvg(const DavScene::TScene& scene);
