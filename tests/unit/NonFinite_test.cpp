// Values that are no finite number (NaN, +INF, -INF) never reach the host: every command and
// appender that takes a real drops the call as it drops degenerate geometry, and an attribute
// command with such a value is not written.
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "tests/support/TestSupport.h"
#include "util/TextFile.h"

namespace {

using TestSupport::Sent;
using TArgs = std::vector<double>;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kHuge = 1.7e308;

// One call that takes reals: drawable arguments, and the call with arguments in their place.
struct TRealCall {
    const char* name;
    TArgs drawable;
    std::function<void(TJGdata&, const TArgs&)> call;
};

// Every command and appender that takes a real, with arguments that draw something.
const std::vector<TRealCall>& Commands() {
    static const std::vector<TRealCall> calls = {
        {"S_Line", {0, 0, 1, 1}, [](TJGdata& j, const TArgs& a) { j.S_Line(a[0], a[1], a[2], a[3]); }},
        {"S_Ten", {1, 2}, [](TJGdata& j, const TArgs& a) { j.S_Ten(a[0], a[1]); }},
        {"S_Mark", {1, 2, 2, 45}, [](TJGdata& j, const TArgs& a) { j.S_Mark(a[0], a[1], a[2], a[3], 3); }},
        {"S_Circle", {0, 0, 5}, [](TJGdata& j, const TArgs& a) { j.S_Circle(a[0], a[1], a[2]); }},
        {"S_Arc", {0, 0, 5, 0, 90, 1, 0},
         [](TJGdata& j, const TArgs& a) { j.S_Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6]); }},
        {"S_Text", {0, 0, 10, 0},
         [](TJGdata& j, const TArgs& a) { j.S_Text(0, a[0], a[1], a[2], a[3], u"通り芯"); }},
        {"S_Dim", {0, 0, 10, 0, 5, 1, 10, 0},
         [](TJGdata& j, const TArgs& a) {
             j.S_Dim(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], u"");
         }},
        {"S_Solid2", {0, 0, 1, 1}, [](TJGdata& j, const TArgs& a) { j.S_Solid2(a[0], a[1], a[2], a[3]); }},
        {"S_Solid3", {0, 0, 1, 0, 0, 1},
         [](TJGdata& j, const TArgs& a) { j.S_Solid3(a[0], a[1], a[2], a[3], a[4], a[5]); }},
        {"S_Solid4", {0, 0, 1, 0, 1, 1, 0, 1},
         [](TJGdata& j, const TArgs& a) {
             j.S_Solid4(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        {"S_SolidC", {0, 0, 5, 1, 0, 0, 360},
         [](TJGdata& j, const TArgs& a) {
             j.S_SolidC(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 100);
         }},
        {"S_SolidD", {0, 0, 5, 1, 0, 0, 360},
         [](TJGdata& j, const TArgs& a) {
             j.S_SolidD(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 100);
         }},
        {"S_SolidO", {0, 0, 5, 1, 0, 0, 360, 2},
         [](TJGdata& j, const TArgs& a) {
             j.S_SolidO(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        {"S_SolidG", {0, 0, 5, 1, 0, 0, 360, 2},
         [](TJGdata& j, const TArgs& a) {
             j.S_SolidG(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        {"S_Mjs free size", {2.5, 3, 0.5},
         [](TJGdata& j, const TArgs& a) { j.S_Mjs(0, a[0], a[1], a[2], 2, 0); }},
        {"S_PLineSet then S_PLine", {0, 0, 1, 1},
         [](TJGdata& j, const TArgs& a) {
             j.S_PLineSet(a[0], a[1], a[2], a[3]);
             j.S_PLine();
         }},
    };
    return calls;
}

const std::vector<TRealCall>& Appenders() {
    static const std::vector<TRealCall> calls = {
        {"A_Line", {0, 0, 1, 1}, [](TJGdata& j, const TArgs& a) { j.A_Line(a[0], a[1], a[2], a[3]); }},
        {"A_Ten", {1, 2}, [](TJGdata& j, const TArgs& a) { j.A_Ten(a[0], a[1]); }},
        {"A_Mark", {1, 2, 2, 45}, [](TJGdata& j, const TArgs& a) { j.A_Mark(a[0], a[1], a[2], a[3], 3); }},
        {"A_Circle", {0, 0, 5}, [](TJGdata& j, const TArgs& a) { j.A_Circle(a[0], a[1], a[2]); }},
        {"A_Arc", {0, 0, 5, 0, 90, 1, 0},
         [](TJGdata& j, const TArgs& a) { j.A_Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6]); }},
        {"A_Text", {0, 0, 10, 0},
         [](TJGdata& j, const TArgs& a) { j.A_Text(0, a[0], a[1], a[2], a[3], u"通り芯"); }},
        {"A_Dim", {0, 0, 10, 0, 5, 1, 10, 0},
         [](TJGdata& j, const TArgs& a) {
             j.A_Dim(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], u"");
         }},
        {"A_Solid2", {0, 0, 1, 1}, [](TJGdata& j, const TArgs& a) { j.A_Solid2(a[0], a[1], a[2], a[3]); }},
        {"A_Solid3", {0, 0, 1, 0, 0, 1},
         [](TJGdata& j, const TArgs& a) { j.A_Solid3(a[0], a[1], a[2], a[3], a[4], a[5]); }},
        {"A_Solid4", {0, 0, 1, 0, 1, 1, 0, 1},
         [](TJGdata& j, const TArgs& a) {
             j.A_Solid4(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        {"A_SolidC", {0, 0, 5, 1, 0, 0, 360},
         [](TJGdata& j, const TArgs& a) {
             j.A_SolidC(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 100);
         }},
        {"A_SolidD", {0, 0, 5, 1, 0, 0, 360},
         [](TJGdata& j, const TArgs& a) {
             j.A_SolidD(a[0], a[1], a[2], a[3], a[4], a[5], a[6], 100);
         }},
        {"A_SolidO", {0, 0, 5, 1, 0, 0, 360, 2},
         [](TJGdata& j, const TArgs& a) {
             j.A_SolidO(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        {"A_SolidG", {0, 0, 5, 1, 0, 0, 360, 2},
         [](TJGdata& j, const TArgs& a) {
             j.A_SolidG(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
         }},
        // The explicit-attribute form goes through the same rule.
        {"A_Line with attributes", {0, 0, 1, 1},
         [](TJGdata& j, const TArgs& a) { j.A_Line(TDavEntAttr{}, a[0], a[1], a[2], a[3]); }},
    };
    return calls;
}

int StoredEntities(const TJGdata& jg) {
    int n = jg.EntN;
    DavKinds::ForEachKind([&](auto k) { n += decltype(k)::CountOf(jg); });
    return n;
}

// Each real argument in turn replaced by NaN, +INF and -INF.
template <class F>
void ForEachSpoiledArgs(const TRealCall& c, F&& f) {
    for (size_t i = 0; i < c.drawable.size(); ++i) {
        for (const double bad : {kNan, kInf, -kInf}) {
            TArgs a = c.drawable;
            a[i] = bad;
            SCOPED_TRACE(testing::Message() << c.name << " argument " << i << " = " << bad);
            f(a);
        }
    }
}

TEST(NonFinite, CommandsWriteNothing) {
    for (const TRealCall& c : Commands()) {
        // The drawable arguments do write: the rows test the values, not a degenerate shape.
        TJGdata good;
        good.S_Init();
        c.call(good, c.drawable);
        ASSERT_FALSE(Sent(good).empty()) << c.name;
        ForEachSpoiledArgs(c, [&](const TArgs& a) {
            TJGdata jg;
            jg.S_Init();
            c.call(jg, a);
            EXPECT_TRUE(Sent(jg).empty());
            EXPECT_EQ(jg.t_PLineN, 0);
        });
    }
}

TEST(NonFinite, AppendersStoreNothing) {
    for (const TRealCall& c : Appenders()) {
        TJGdata good;
        c.call(good, c.drawable);
        ASSERT_GT(StoredEntities(good), 0) << c.name;
        ForEachSpoiledArgs(c, [&](const TArgs& a) {
            TJGdata jg;
            c.call(jg, a);
            EXPECT_EQ(StoredEntities(jg), 0);
        });
    }
}

// A free text size that is no number is neither written nor remembered: the next command with
// a real size is written as a change.
TEST(NonFinite, TextSizeIsNotTakenOver) {
    TJGdata jg;
    jg.S_Init();
    jg.S_Mjs(0, 2.5, 3, 0.5, 2, 0);
    jg.S_Mjs(0, kNan, 3, 0.5, 2, 0);
    jg.S_Mjs(0, 2.5, kInf, 0.5, 2, 0);
    jg.S_Mjs(0, 4, 4, 0, 2, 0);
    EXPECT_EQ(Sent(jg), (TestSupport::TLines{u"cn0 2.5 3 0.5 2", u"cn0 4 4 0 2"}));

    TJGdata store;
    store.A_Mjs(0, 2.5, 3, 0.5, 2, 0);
    store.A_Mjs(0, 1, -kInf, 1, 2, 0);
    EXPECT_EQ(store.w_MjsW, 2.5);
    EXPECT_EQ(store.w_MjsH, 3.0);
    store.A_Text(0, 0, 0, 10, 0, u"記");
    ASSERT_EQ(store.EntTextN, 1);
    EXPECT_EQ(store.EntText[0].mh, 3.0);
}

// Ends near the largest number: each coordinate is finite, so the entity is kept, but its
// length is not. A blank dimension text would be that length: the dimension is dropped; one
// with its own text is written.
TEST(NonFinite, DimensionLongerThanAnyNumber) {
    TJGdata jg;
    jg.S_Init();
    jg.S_Dim(-kHuge, 0, kHuge, 0, 0, 0, 10, 0, u"");
    EXPECT_TRUE(Sent(jg).empty());
    jg.S_Dim(-kHuge, 0, kHuge, 0, 0, 0, 10, 0, u"全長");
    EXPECT_EQ(Sent(jg), (TestSupport::TLines{u"msg", u"-1.7E308 0 1.7E308 0", u"cs 0 0 10 0 \"全長"}));

    TJGdata store;
    store.A_Dim(-kHuge, 0, kHuge, 0, 0, 0, 10, 0, u" ");
    EXPECT_EQ(store.EntDimN, 0);
    // Long, but within range: the length is written as it is, without the ten decimals.
    store.A_Dim(0, 0, kHuge, 0, 0, 0, 10, 0, u"");
    ASSERT_EQ(store.EntDimN, 1);
    EXPECT_EQ(store.EntDim[0].txt.st, u"1.7E308");
}

// Nothing the caller put into the model by hand that is no number reaches the file either.
TEST(NonFinite, WriteBackSkipsSpoiledRecords) {
    TJGdata jg;
    jg.A_Line(0, 0, 1, 1);
    jg.A_Circle(0, 0, 5);
    jg.A_Text(0, 0, 0, 10, 0, u"記");
    jg.EntLine[0].x2 = kNan;
    jg.EntCirc[0].cr = kInf;
    jg.EntText[0].y1 = -kInf;
    jg.AreaX2 = kNan;
    jg.S_Init();
    jg.S_Area();
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    for (const std::u16string& line : Sent(jg)) {
        EXPECT_EQ(line.find(u"NAN"), std::u16string::npos) << ToUtf8(line);
        EXPECT_EQ(line.find(u"INF"), std::u16string::npos) << ToUtf8(line);
    }
}

}  // namespace
