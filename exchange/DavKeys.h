// DavKeys: the keywords of the exchange file, shared by the reader and the command writer.
#pragma once

#include <array>
#include <string_view>

namespace DavKeys {

using K = std::u16string_view;

// Header lines.
inline constexpr K kFile = u"file=";
inline constexpr K kAxisAngle = u"hk";
inline constexpr K kScales = u"hs";
inline constexpr K kSheetSize = u"hzs";
inline constexpr K kTypeWidths = u"hcw";
inline constexpr K kTypeHeights = u"hch";
inline constexpr K kTypeSpacings = u"hcd";
inline constexpr K kTypeColours = u"hcc";
inline constexpr K kSheetUnits = u"bz";
inline constexpr K kArea = u"hn";
inline constexpr K kRgbTable = u"hrgb";
inline constexpr K kQuit = u"hq";
inline constexpr K kComment = u"h#";

// Layer and attribute lines.
inline constexpr K kLayerGroupName = u"lgn";
inline constexpr K kLayerName = u"lyn";
inline constexpr K kLayerGroup = u"lg";
inline constexpr K kLayer = u"ly";
inline constexpr K kColour = u"lc";
inline constexpr K kLineType = u"lt";
inline constexpr K kLineWidth = u"lw";
inline constexpr K kFont = u"cn$";
// The font line as written: the double quote makes the reader keep the font's blanks, and is
// itself dropped, which leaves kFont.
inline constexpr K kFontQuoted = u"cn\"$";
// A font given as this text (or as none) is the host's current font.
inline constexpr K kCurrentFont = u"<>";
inline constexpr K kTextType = u"cn";
inline constexpr K kBasePoint = u"cc";
inline constexpr K kPointColour = u"pn";
inline constexpr std::array<K, 5> kAttrMarks = {u"z1", u"z2", u"z3", u"z4", u"z5"};

// Control lines.
inline constexpr K kPolylineStart = u"pl";
inline constexpr K kDimensionStart = u"msg";
inline constexpr K kGroupEnd = u"#";
inline constexpr K kPickedPoint = u"hp";
inline constexpr K kAttachPoint = u"hhp";
// How a point was picked, after its number: "-" 1, "ln" 2, "ci" 3, "ch" 4. An attached
// point ("hhp") takes the last three.
inline constexpr std::array<K, 4> kPickSuffixes = {u"-", u"ln", u"ci", u"ch"};
inline constexpr std::array<K, 3> kAttachSuffixes = {u"ln", u"ci", u"ch"};

// Entity lines.
inline constexpr K kCircle = u"ci";
inline constexpr K kPoint = u"pt";
inline constexpr K kBlock = u"BL";
inline constexpr K kSolid = u"sl";
inline constexpr K kSolidC = u"sc";
inline constexpr K kSolidE = u"se";
inline constexpr K kSolidO = u"so";
inline constexpr K kSolidG = u"sg";

// Text kinds 0..9, in the order of their codes.
inline constexpr std::array<K, 10> kTextKinds = {u"ch", u"cv", u"cs", u"cr", u"co",
                                                 u"cp", u"ct", u"ck", u"cz", u"c2"};
inline constexpr int kDimensionTextKind = 2;  // "cs"

}  // namespace DavKeys
