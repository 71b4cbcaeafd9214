/// @file
/// DavLimits: the sizes of the model's fixed tables and the largest input the reader takes,
/// shared by the model, the reader and the rules. It depends on nothing, so that every header
/// of the exchange class can include it.
#pragma once

#include <cstddef>
#include <cstdint>

/// The sizes of the model's fixed tables.
namespace DavLimits {

/// Highest layer group and layer number: both are numbered 0..15.
inline constexpr int kMaxLayer = 15;
/// Entries of the layer-group tables.
inline constexpr std::size_t kLayerGroups = kMaxLayer + 1;
/// Entries of the layer tables: 16 groups of 16 layers, indexed group * 16 + layer.
inline constexpr std::size_t kLayers = kLayerGroups * (kMaxLayer + 1);
/// Entries of the scale table: one scale for each layer group.
inline constexpr std::size_t kScales = kLayerGroups;

/// Highest of the host's text types 1..10.
inline constexpr int kMaxTextType = 10;
/// Entries of the text-type table, whose entry 0 is unused.
inline constexpr std::size_t kTextTypeSlots = kMaxTextType + 1;

/// Values of the host's colour table "hrgb": 1..356.
inline constexpr int kRgbValues = 356;
/// Entries of the colour table, whose entry 0 is unused.
inline constexpr std::size_t kRgbSlots = kRgbValues + 1;

/// Entries of the picked-point table: points 1..99, slot 0 unused.
inline constexpr std::size_t kPickedPointSlots = 100;

/// The largest host file that TJGdata::OpenTempFile and OpenTempBytes read: 256 MiB. A host
/// writes about 50 bytes for each selected entity, so this is room for some five million of
/// them; a larger file is refused before it is parsed (TDavOpenFault::TooLarge).
inline constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{256} << 20;
/// The longest line that they read, in bytes of the file (two for each unit of UTF-16), line
/// break not counted: 1 MiB. The host writes lines of a few hundred bytes, a long text a few
/// thousand. A longer line refuses the whole file (TDavOpenFault::LineTooLong), found while
/// no more than this much of the line is held.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

}  // namespace DavLimits
