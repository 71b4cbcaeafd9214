// DavLimits: the sizes of the model's fixed tables, shared by the model, the reader and the
// rules. It depends on nothing, so that every header of the exchange class can include it.
#pragma once

#include <cstddef>

namespace DavLimits {

// Layer groups and layers are numbered 0..15; the layer tables hold 16 groups of 16 layers,
// indexed group * 16 + layer.
inline constexpr int kMaxLayer = 15;
inline constexpr std::size_t kLayerGroups = kMaxLayer + 1;
inline constexpr std::size_t kLayers = kLayerGroups * (kMaxLayer + 1);
// One scale for each layer group.
inline constexpr std::size_t kScales = kLayerGroups;

// The host's text types 1..10; their table has an unused entry 0.
inline constexpr int kMaxTextType = 10;
inline constexpr std::size_t kTextTypeSlots = kMaxTextType + 1;

// The host's colour table "hrgb" holds values 1..356; entry 0 is unused.
inline constexpr int kRgbValues = 356;
inline constexpr std::size_t kRgbSlots = kRgbValues + 1;

// Picked points 1..99; slot 0 is unused.
inline constexpr std::size_t kPickedPointSlots = 100;

}  // namespace DavLimits
