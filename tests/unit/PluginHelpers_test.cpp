// What a program built on the library uses besides the model's own calls: a model of its own
// that answers the host (TakeHostSettings, CurAttr, A_CurAttr), appends that report their
// result (A_Stored), views of the used records (Used), the program's folder and UTF-8.
#include <array>
#include <filesystem>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "../support/TestSupport.h"
#include "exchange/DavGaibu.h"
#include "util/MyFunc.h"
#include "util/Platform.h"
#include "util/Utf8.h"

namespace {

using TestSupport::Sent;
using TestSupport::TLines;
namespace fs = std::filesystem;

// A host file in UTF-8 and sheet units whose current attributes (the first line of each kind:
// layer group 2, layer 5, colour 2, line type 1, text type 3) differ from the attributes of
// its last entity (layer group 0, layer 1, colour 4, line type 2).
constexpr std::string_view kHostFile =
    "\xEF\xBB\xBF"
    "bz\r\nlg2\r\nly5\r\nlc2\r\nlt1\r\ncn3\r\nhp1 20 30\r\n"
    "lg0\r\nly1\r\nlc4\r\nlt2\r\n0 0 50 0\r\n";

// An entity's attributes in declaration order, to compare and print.
std::array<int, 7> Fields(const TDavEntAttr& a) {
    return {a.IPNo, a.LGrp, a.Lay, a.Col, a.Ltp, a.Wid, a.Attr};
}

TEST(HostAttributes, AppendersTakeTheLastReadUnlessTheHostsAreChosen) {
    TJGdata jg;
    jg.OpenTempBytes(kHostFile);
    ASSERT_EQ(jg.CurCol, 2);

    const TDavEntAttr host{0, 2, 5, 2, 1, 0, 0};
    EXPECT_EQ(Fields(jg.CurAttr()), Fields(host));

    // After reading, the current attributes are the last ones the file set.
    jg.A_Line(0, 0, 10, 0);
    EXPECT_EQ(Fields(jg.EntLine[1].att), Fields(TDavEntAttr{0, 0, 1, 4, 2, 0, 0}));

    jg.A_Line(jg.CurAttr(), 0, 0, 10, 0);
    EXPECT_EQ(Fields(jg.EntLine[2].att), Fields(host));

    jg.A_CurAttr();
    jg.A_Line(0, 0, 10, 0);
    EXPECT_EQ(Fields(jg.EntLine[3].att), Fields(host));
    // Texts take the host's text type as well.
    jg.A_Text(0, 0, 0, 1, 0, u"A");
    EXPECT_EQ(jg.EntText[0].cn, 3);
    EXPECT_EQ(jg.EntText[0].att.Col, jg.Mojisyu[3].C);
}

TEST(HostAttributes, ModelOfItsOwnAnswersInTheHostsTerms) {
    TJGdata host;
    host.OpenTempBytes(kHostFile);

    TJGdata out;
    out.TakeHostSettings(host);
    EXPECT_EQ(out.EntN, 0);
    EXPECT_TRUE(out.IPoints[1].flg);
    out.A_Line(0, 0, 10, 0);
    out.A_Circle(5, 5, 2);
    out.S_Init();
    out.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    // "bz" once, the host's layer and colour, and no closing layer change.
    EXPECT_EQ(Sent(out), (TLines{u"bz", u"lg2", u"ly5", u"lc2", u"lt1", u"0 0 10 0", u"ci 5 5 2"}));
    EXPECT_EQ(out.TempFileBytes().substr(0, 3), "\xEF\xBB\xBF");

    // A new model without the host's settings ends on layer 0-0 and knows no sheet units.
    TJGdata bare;
    bare.A_Line(0, 0, 10, 0);
    bare.S_Init();
    bare.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    EXPECT_EQ(Sent(bare), (TLines{u"lg0", u"ly0", u"lc1", u"lt1", u"0 0 10 0"}));
    EXPECT_EQ(bare.TempFileBytes().substr(0, 3), "lg0");
}

TEST(HostAttributes, TakingFromItselfKeepsTheModel) {
    TJGdata jg;
    jg.OpenTempBytes(kHostFile);
    jg.TakeHostSettings(jg);
    EXPECT_EQ(jg.EntLineN, 1);
    EXPECT_TRUE(jg.Zusun);
    jg.A_Line(0, 0, 10, 0);
    EXPECT_EQ(Fields(jg.EntLine[1].att), Fields(jg.CurAttr()));
}

TEST(AppendResult, StoredOrRefused) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const TDavEntAttr at{0, 1, 2, 3, 4, 0, 0};
    struct TCase {
        const char* what;
        void (*call)(TJGdata&, const TDavEntAttr&);
        TDavEntNo expected;
    };
    // Run in order on one model, so the indexes count on.
    const TCase cases[] = {
        // Stored
        {"line", [](TJGdata& jg, const TDavEntAttr&) { jg.A_Line(0, 0, 10, 0); }, {1, 0}},
        {"second line, attributes given",
         [](TJGdata& jg, const TDavEntAttr& a) { jg.A_Line(a, 0, 0, 0, 10); },
         {1, 1}},
        {"circle", [](TJGdata& jg, const TDavEntAttr&) { jg.A_Circle(0, 0, 5); }, {2, 0}},
        {"four corners, two the same: a three-point solid",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_Solid4(0, 0, 10, 0, 10, 10, 10, 10); },
         {10, 0}},
        {"dimension with a blank text: measured",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_Dim(0, 0, 3, 4, 0, 0, 1, 0, u" "); },
         {7, 0}},
        // Refused
        {"line of no length",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_Line(1, 1, 1, 1); },
         {0, -1}},
        {"line, not a number",
         [](TJGdata& jg, const TDavEntAttr& a) { jg.A_Line(a, 0, 0, kNaN, 1); },
         {0, -1}},
        {"text of blanks",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_Text(0, 0, 0, 1, 0, u" 　"); },
         {0, -1}},
        {"four corners, first and third the same",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_Solid4(0, 0, 10, 0, 0, 0, 0, 10); },
         {0, -1}},
        {"circular solid, code out of range",
         [](TJGdata& jg, const TDavEntAttr&) { jg.A_SolidC(0, 0, 5, 1, 0, 0, 90, 3); },
         {0, -1}},
        {"ring solid, inner radius the outer one",
         [](TJGdata& jg, const TDavEntAttr& a) { jg.A_SolidO(a, 0, 0, 5, 1, 0, 0, 90, 5); },
         {0, -1}},
        // Stored after a refusal
        {"point", [](TJGdata& jg, const TDavEntAttr&) { jg.A_Ten(1, 2); }, {5, 0}},
    };
    TJGdata jg;
    EXPECT_EQ(jg.A_Stored().yn, 0);
    EXPECT_EQ(jg.A_Stored().no, -1);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = jg.EntN;
        c.call(jg, at);
        const TDavEntNo got = jg.A_Stored();
        EXPECT_EQ(got.yn, c.expected.yn);
        EXPECT_EQ(got.no, c.expected.no);
        if (got.yn != 0) {
            // The entry is the new last one of the drawing order.
            ASSERT_EQ(jg.EntN, before + 1);
            EXPECT_EQ(jg.EntNo[before].yn, got.yn);
            EXPECT_EQ(jg.EntNo[before].no, got.no);
        } else {
            EXPECT_EQ(jg.EntN, before);
        }
    }
    EXPECT_EQ(Fields(jg.EntLine[1].att), Fields(at));

    // Reading a file appends entities but leaves the last appender's answer alone.
    jg.OpenTempBytes(kHostFile);
    EXPECT_EQ(jg.A_Stored().yn, 5);
    EXPECT_EQ(jg.A_Stored().no, 0);
}

TEST(UsedRecords, SpansEndAtTheCounts) {
    TJGdata jg;
    jg.OpenTempBytes(kHostFile);
    jg.A_Line(0, 0, 0, 10);
    ASSERT_EQ(jg.EntLineN, 2);
    ASSERT_GE(jg.EntLine.size(), 1000u);

    std::vector<double> ends;
    for (const TDavEntLine& l : TJGdata::Used(jg.EntLine, jg.EntLineN)) {
        ends.push_back(l.x2 + l.y2);
    }
    EXPECT_EQ(ends, (std::vector<double>{50, 10}));

    // Records changed through the span are the model's.
    for (TDavEntLine& l : TJGdata::Used(jg.EntLine, jg.EntLineN)) {
        l.x1 += 1;
    }
    EXPECT_EQ(jg.EntLine[1].x1, 1);

    const TJGdata& view = jg;
    EXPECT_EQ(TJGdata::Used(view.EntNo, view.EntN).size(), 2u);
    EXPECT_EQ(TJGdata::Used(view.EntCirc, view.EntCircN).size(), 0u);
    // A count out of range gives no records.
    EXPECT_TRUE(TJGdata::Used(jg.EntLine, -1).empty());
    EXPECT_TRUE(TJGdata::Used(jg.EntLine, 5000).empty());
}

TEST(ProgramFolder, HoldsThisProgramWhateverTheWorkingFolder) {
    const std::u16string folder = Platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), static_cast<char16_t>(fs::path::preferred_separator));
    EXPECT_TRUE(ExistsFile(folder + u"PluginHelpers_test") ||
                ExistsFile(folder + u"PluginHelpers_test.exe"));

    TestSupport::TTempFolder elsewhere;
    const fs::path old = fs::current_path();
    fs::current_path(elsewhere.Path());
    const std::u16string there = Platform::ProgramFolder();
    fs::current_path(old);
    EXPECT_EQ(there, folder);
}

TEST(Utf8, BothWays) {
    struct TCase {
        std::u16string text;
        std::string bytes;
    };
    const TCase both[] = {
        {u"", ""},
        {u"ZIV_TEMP.TXT", "ZIV_TEMP.TXT"},
        {u"全長 12.5", "\xE5\x85\xA8\xE9\x95\xB7 12.5"},
        {u"é", "\xC3\xA9"},
        {u"\U00020BB7", "\xF0\xA0\xAE\xB7"},  // a pair of UTF-16 units
        {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const TCase& c : both) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ToUtf8(c.text), c.bytes);
        EXPECT_EQ(FromUtf8(c.bytes), c.text);
    }

    // A lone surrogate cannot be written in UTF-8.
    EXPECT_EQ(ToUtf8(u"a\xD800"
                     u"b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");

    // Malformed bytes: one replacement character for each maximal part.
    const TCase malformed[] = {
        {u"a\xFFFD"
         u"b",
         "a\x80"
         "b"},
        {u"\xFFFD", "\xC3"},
        {u"\xFFFD"
         u"x",
         "\xE5\x85x"},
        {u"\xFFFD\xFFFD", "\xC0\xAF"},
        {u"\xFFFD\xFFFD\xFFFD", "\xED\xA0\x80"},
        {u"\xFFFD\xFFFD\xFFFD\xFFFD", "\xF4\x90\x80\x80"},
        {u"\xFEFF"
         u"a",
         "\xEF\xBB\xBF"
         "a"},
    };
    for (const TCase& c : malformed) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(FromUtf8(c.bytes), c.text);
    }
}

}  // namespace
