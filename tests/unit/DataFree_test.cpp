// The exchange object after DataFree, and counts that a caller set out of range: every call
// stays safe, and a count that does not fit its list reads as 0.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "tests/support/TestSupport.h"

namespace {

using TestSupport::Sent;
using TestSupport::TLines;

// Each kind's count agrees with its list: never more records counted than stored.
void ExpectCountsFit(const TJGdata& jg) {
    EXPECT_LE(static_cast<size_t>(jg.EntN), jg.EntNo.size());
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        EXPECT_LE(static_cast<size_t>(K::CountOf(jg)), K::ListOf(jg).size()) << K::kName;
    });
    EXPECT_LE(static_cast<size_t>(jg.t_MemN), jg.t_Mem.size());
    EXPECT_LE(static_cast<size_t>(jg.t_PLineN), jg.t_PLine.size());
}

class DataFree : public TestSupport::TTempFolderTest {};

TEST_F(DataFree, EveryCallIsSafeAfterDataFree) {
    TJGdata jg;
    jg.A_Line(0, 0, 1, 1);
    jg.A_Circle(0, 0, 2);
    jg.A_SolidC(0, 0, 5, 1, 0, 0, 360, 100);
    jg.S_Line(0, 0, 3, 3);
    jg.S_PLineSet(0, 0, 1, 0);
    jg.DataFree();
    ExpectCountsFit(jg);
    EXPECT_EQ(jg.EntN, 0);

    // A save of the freed object writes the empty result.
    const auto file = dir_ / "ZIV_TEMP.TXT";
    ASSERT_TRUE(jg.SaveTempFile(file.u16string()));
    EXPECT_EQ(TestSupport::ReadAll(file), "hq\r\n");

    // The store and the writer start afresh.
    jg.A_Line(0, 0, 2, 2);
    jg.A_Text(0, 0, 0, 10, 0, u"記");
    ASSERT_EQ(jg.EntLineN, 1);
    EXPECT_EQ(jg.EntLine[0].x2, 2.0);
    EXPECT_EQ(jg.EntN, 2);
    jg.S_PLineSet(0, 0, 1, 0);
    jg.S_PLineSet(1, 0, 1, 1);
    jg.S_PLine();
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    ExpectCountsFit(jg);
    const TLines sent = Sent(jg);
    EXPECT_EQ(sent.front(), u"pl");
    EXPECT_NE(std::find(sent.begin(), sent.end(), u"0 0 2 2"), sent.end());
    // Reading is safe as well; the picked-point table went with the rest until DataInit.
    EXPECT_TRUE(jg.OpenTempBytes("hp1 3 4\r\nlg1\r\nly2\r\n"));
    EXPECT_EQ(jg.IPointN, 0);
    jg.DataInit();
    EXPECT_TRUE(jg.OpenTempBytes("hp1 3 4\r\n"));
    EXPECT_EQ(jg.IPointN, 1);
    jg.DataFree();
    jg.DataFree();
    ExpectCountsFit(jg);
}

// Counts set by a caller: negative, or beyond what the list holds.
TEST_F(DataFree, CountsOutOfRangeReadAsZero) {
    for (const int bad : {-1, -1000, 5, 1000, 2000000000}) {
        SCOPED_TRACE(bad);
        TJGdata jg;
        jg.S_Init();
        jg.t_PLineN = bad;
        jg.S_PLineSet(0, 0, 1, 0);
        EXPECT_EQ(jg.t_PLineN, 1);
        jg.t_MemN = bad;
        EXPECT_EQ(jg.TempFileBytes(), "hq\r\n");
        jg.S_PLine();
        EXPECT_EQ(Sent(jg), TLines{u"0 0 1 0"});

        jg.EntLineN = bad;
        jg.EntN = bad;
        jg.A_Line(0, 0, 1, 1);
        EXPECT_EQ(jg.EntLineN, 1);
        EXPECT_EQ(jg.EntN, 1);
        jg.EntCircN = bad;
        jg.A_Circle(TDavEntAttr{.Col = 5}, 0, 0, 2);
        ASSERT_EQ(jg.EntCircN, 1);
        EXPECT_EQ(jg.EntCirc[0].att.Col, 5);
        ExpectCountsFit(jg);
    }
}

}  // namespace
