// Geometry commands: exact lines, degenerate shapes dropped, solids reduced, polyline blocks.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "tests/support/TestSupport.h"

namespace {

using Lines = TestSupport::TLines;
using TestSupport::Sent;

// Each row: calls on a freshly reset writer and every line they must send.
const auto RunCases = TestSupport::RunCommandCases;

TEST(GeometryCommands, LinesPointsAndMarkers) {
    RunCases({
        {"line, no keyword", [](TJGdata& j) { j.S_Line(0, 0, 10, 5); }, {u"0 0 10 5"}},
        {"line ends closer than the tolerance in both coordinates",
         [](TJGdata& j) {
             j.S_Line(1, 1, 1, 1);
             j.S_Line(0, 0, 5e-11, 0);
             j.S_Line(-1, 2, -1 - 9e-11, 2 + 9e-11);
         },
         {}},
        {"line ends at or beyond the tolerance",
         [](TJGdata& j) {
             j.S_Line(0, 0, 0, 2e-10);
             j.S_Line(0, 0, 1e-10, 0);
         },
         {u"0 0 0 2E-10", u"0 0 1E-10 0"}},
        {"fifteen significant digits and scientific notation",
         [](TJGdata& j) { j.S_Line(1.0 / 3.0, -1e-5, 123456789012345, 1e15); },
         {u"0.333333333333333 -1E-5 123456789012345 1E15"}},
        {"point", [](TJGdata& j) { j.S_Ten(1.5, -2); }, {u"pt 1.5 -2"}},
        {"point at the origin is written", [](TJGdata& j) { j.S_Ten(0, 0); }, {u"pt 0 0"}},
        // Marker normalisation
        {"marker codes and scales",
         [](TJGdata& j) {
             j.S_Mark(1, 2, 0, 45, 20);
             j.S_Mark(1, 2, 2, 0, -7);
             j.S_Mark(1, 2, -0.5, 30, 11);
             j.S_Mark(1, 2, 1e-10, 0, 12);
             j.S_Mark(1, 2, -1e-11, 0, -8);
             j.S_Mark(1, 2, 2e-10, 0, 0);
         },
         {u"pt 1 2 1 45 -3", u"pt 1 2 2 0 -7", u"pt 1 2 -0.5 30 11", u"pt 1 2 1 0 -3",
          u"pt 1 2 1 0 -3", u"pt 1 2 2E-10 0 0"}},
    });
}

TEST(GeometryCommands, CirclesAndArcs) {
    RunCases({
        {"circle", [](TJGdata& j) { j.S_Circle(0, 0, 5); }, {u"ci 0 0 5"}},
        {"radius of no size or negative",
         [](TJGdata& j) {
             j.S_Circle(0, 0, 0);
             j.S_Circle(0, 0, 1e-11);
             j.S_Circle(0, 0, 1e-10);
             j.S_Circle(0, 0, -5);
             j.S_Arc(0, 0, -5, 0, 90, 1, 0);
             j.S_Arc(0, 0, 1e-10, 0, 90, 1, 0);
         },
         {}},
        {"arc, flatness by its magnitude",
         [](TJGdata& j) {
             j.S_Arc(0, 0, 5, 0, 90, 1, 0);
             j.S_Arc(0, 0, 5, 0, 90, 0, 0);
             j.S_Arc(0, 0, 5, 0, 90, 1e-10, 0);
             j.S_Arc(0, 0, 5, 0, 90, -0.5, 0);
             j.S_Arc(1, 2, 3, 350, 10, 0.5, 30);
         },
         {u"ci 0 0 5 0 90 1 0", u"ci 0 0 5 0 90 -0.5 0", u"ci 1 2 3 350 10 0.5 30"}},
    });
}

TEST(GeometryCommands, PointSolids) {
    RunCases({
        {"two points",
         [](TJGdata& j) {
             j.S_Solid2(0, 0, 0, 0);
             j.S_Solid2(0, 0, 1, 2);
         },
         {u"sl 0 0 1 2"}},
        {"three points, any pair coinciding drops it",
         [](TJGdata& j) {
             j.S_Solid3(0, 0, 0, 0, 1, 1);
             j.S_Solid3(0, 0, 1, 0, 1, 0);
             j.S_Solid3(0, 0, 1, 0, 0, 0);
             j.S_Solid3(0, 0, 1, 0, 1, 1);
         },
         {u"sl 0 0 1 0 1 1"}},
        // Four points: the first coinciding pair decides; P3 = (2, 3) shows which corners stay.
        {"P1 = P2 keeps P1, P3, P4",
         [](TJGdata& j) { j.S_Solid4(0, 0, 5e-11, -5e-11, 1, 0, 2, 3); },
         {u"sl 0 0 1 0 2 3"}},
        {"P1 = P3 drops it", [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 0, 0, 2, 3); }, {}},
        {"P1 = P4 keeps P1, P2, P3",
         [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 2, 3, 0, 0); },
         {u"sl 0 0 1 0 2 3"}},
        {"P2 = P3 keeps P1, P2, P4",
         [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 1, 0, 2, 3); },
         {u"sl 0 0 1 0 2 3"}},
        {"P2 = P4 drops it", [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 2, 3, 1, 0); }, {}},
        {"P3 = P4 keeps P1, P2, P3",
         [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 2, 3, 2, 3); },
         {u"sl 0 0 1 0 2 3"}},
        {"two coinciding pairs, or three coinciding corners, drop it",
         [](TJGdata& j) {
             j.S_Solid4(0, 0, 0, 0, 1, 0, 1, 0);
             j.S_Solid4(0, 0, 0, 0, 0, 0, 1, 1);
             j.S_Solid4(0, 0, 1, 1, 1, 1, 1, 1);
         },
         {}},
        {"four distinct corners",
         [](TJGdata& j) { j.S_Solid4(0, 0, 1, 0, 1, 1, 0, 1); },
         {u"sl 0 0 1 0 1 1 0 1"}},
    });
}

TEST(GeometryCommands, CircularAndRingSolids) {
    RunCases({
        {"circular solid codes 100, 5, 0, -1",
         [](TJGdata& j) {
             for (int cod : {5, 100, 0, -1, 3, 1, -2}) {
                 j.S_SolidC(0, 0, 5, 1, 0, 0, 360, cod);
             }
         },
         {u"sc 0 0 5 1 0 0 360 5", u"sc 0 0 5 1 0 0 360 100", u"sc 0 0 5 1 0 0 360 0",
          u"sc 0 0 5 1 0 0 360 -1"}},
        {"second circular solid codes 100 and 0 only",
         [](TJGdata& j) {
             for (int cod : {5, 100, 0, -1}) {
                 j.S_SolidD(0, 0, 5, 1, 0, 0, 360, cod);
             }
         },
         {u"se 0 0 5 1 0 0 360 100", u"se 0 0 5 1 0 0 360 0"}},
        {"circular solids need a radius and a flatness",
         [](TJGdata& j) {
             j.S_SolidC(0, 0, 1e-10, 1, 0, 0, 360, 0);
             j.S_SolidC(0, 0, 5, 0, 0, 0, 360, 0);
             j.S_SolidD(0, 0, -5, 1, 0, 0, 360, 0);
             j.S_SolidD(0, 0, 5, 1e-11, 0, 0, 360, 0);
             j.S_SolidC(1.5, -2, 5, -0.5, 30, 45, 90, 0);
         },
         {u"sc 1.5 -2 5 -0.5 30 45 90 0"}},
        {"rings: inner radius clear of zero and of the outer radius",
         [](TJGdata& j) {
             for (double ri : {5.0, 5 - 5e-11, 0.0, 1e-10, -1.0, 6.0, 2.0}) {
                 j.S_SolidO(0, 0, 5, 1, 0, 0, 360, ri);
                 j.S_SolidG(0, 0, 5, 1, 0, 0, 360, ri);
             }
         },
         {u"so 0 0 5 1 0 0 360 2", u"sg 0 0 5 1 0 0 360 2"}},
        {"rings need a flatness and a positive radius",
         [](TJGdata& j) {
             j.S_SolidO(0, 0, 5, 0, 0, 0, 360, 2);
             j.S_SolidG(0, 0, -5, 1, 0, 0, 360, -6);
             j.S_SolidG(0, 0, 5, -2, 10, 20, 30, 4.5);
         },
         {u"sg 0 0 5 -2 10 20 30 4.5"}},
    });
}

TEST(GeometryCommands, PolylineBlocks) {
    RunCases({
        {"empty buffer", [](TJGdata& j) { j.S_PLine(); }, {}},
        {"one segment is a plain line",
         [](TJGdata& j) {
             j.S_PLineSet(0, 0, 1, 0);
             j.S_PLine();
         },
         {u"0 0 1 0"}},
        {"two segments, one of no length, make a block",
         [](TJGdata& j) {
             j.S_PLineSet(0, 0, 1, 0);
             j.S_PLineSet(1, 0, 1, 0);
             j.S_PLine();
         },
         {u"pl", u"0 0 1 0", u"#"}},
        {"the buffer is kept until it is reset",
         [](TJGdata& j) {
             j.S_PLineSet(0, 0, 1, 0);
             j.S_PLineSet(1, 0, 1, 1);
             j.S_PLine();
             j.S_PLine();
             j.S_PLineReset();
             j.S_PLine();
             j.S_PLineSet(2, 2, 3, 3);
             j.S_PLine();
         },
         {u"pl", u"0 0 1 0", u"1 0 1 1", u"#", u"pl", u"0 0 1 0", u"1 0 1 1", u"#", u"2 2 3 3"}},
        {"a block built by hand",
         [](TJGdata& j) {
             j.S_PLineStart();
             j.S_Line(0, 0, 1, 1);
             j.S_PLineEnd();
         },
         {u"pl", u"0 0 1 1", u"#"}},
    });

    // The buffer holds exactly its count and gives its storage back on reset.
    TJGdata jg;
    for (int i = 0; i < 3; ++i) {
        jg.S_PLineSet(i, 0, i + 1, 0);
    }
    EXPECT_EQ(jg.t_PLineN, 3);
    EXPECT_EQ(jg.t_PLine.size(), 3u);
    EXPECT_EQ(jg.t_PLine[2].x2, 3.0);
    jg.S_PLineReset();
    EXPECT_EQ(jg.t_PLineN, 0);
    EXPECT_EQ(jg.t_PLine.capacity(), 0u);
}

}  // namespace
