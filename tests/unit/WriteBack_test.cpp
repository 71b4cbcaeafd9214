// Tests of the write-back of a whole model: order, overrides, polyline blocks, Escape abort.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "tests/support/TestSupport.h"
#include "util/MyFunc.h"
#include "util/Platform.h"

namespace {

using TestSupport::Sent;
using TestSupport::TLines;

// Escape held down from the downFrom-th question on (1-based); the questions are counted.
std::shared_ptr<int> InstallEscape(int downFrom) {
    auto calls = std::make_shared<int>(0);
    Platform::SetEscapeProbe([calls, downFrom] { return ++*calls >= downFrom; });
    return calls;
}

// Appends a block the way the reader does; the store has no appender for blocks.
void AddBlock(TJGdata& jg) {
    DavKinds::TBlock::Append(jg).nam = u"blk";
}

void AllP(TJGdata& jg, const TDavOverrides& o) {
    jg.S_EntAllp(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
}

void All(TJGdata& jg, const TDavOverrides& o) {
    jg.S_EntAll(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
}

class WriteBack : public ::testing::Test {
protected:
    void SetUp() override { jg.S_Init(); }
    TJGdata jg;
};

TEST_F(WriteBack, PolylineGroupsComeLastAsBlocks) {
    jg.A_Line(0, 0, 10, 0);
    jg.A_Circle(5, 5, 2);
    jg.A_Line(10, 0, 10, 10);
    jg.A_Line(0, 0, -5, 0);
    jg.EntLine[0].CrvNo = 1;
    jg.EntLine[1].CrvNo = 1;
    jg.EntLine[2].CrvNo = -1;  // no group: written in place
    jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0", u"lc1", u"lt1", u"ci 5 5 2", u"0 0 -5 0", u"pl",
                                u"0 0 10 0", u"10 0 10 10", u"#"}));

    // The plain write-back keeps the drawing order and writes no blocks.
    jg.StopDavGaibu();
    jg.S_Init();
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
    EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0", u"lc1", u"lt1", u"0 0 10 0", u"ci 5 5 2",
                                u"10 0 10 10", u"0 0 -5 0"}));
}

// Groups 2 and 5 only, interleaved: each group number is one chance to abort, the blocks come
// in group order, and attribute changes inside a block are written inside it.
TEST_F(WriteBack, GroupsWithGapsInGroupOrder) {
    jg.A_Line(0, 0, 1, 0);  // group 5
    jg.A_Line(0, 0, 2, 0);  // group 2
    jg.A_Ten(1, 2);
    jg.A_Line(0, 0, 3, 0);  // group 5
    jg.A_Line(0, 0, 4, 0);  // group 2, colour 3
    jg.EntLine[0].CrvNo = 5;
    jg.EntLine[1].CrvNo = 2;
    jg.EntLine[2].CrvNo = 5;
    jg.EntLine[3].CrvNo = 2;
    jg.EntLine[3].att.Col = 3;
    auto calls = InstallEscape(INT_MAX);
    jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    EXPECT_EQ(Sent(jg),
              (TLines{u"lg0", u"ly0", u"pn1", u"pt 1 2", u"lc1", u"lt1", u"pl", u"0 0 2 0", u"lc3",
                      u"0 0 4 0", u"#", u"lc1", u"pl", u"0 0 1 0", u"0 0 3 0", u"#"}));
    EXPECT_EQ(*calls, 1 + 5);
}

// A group of one line is still a block; a line of no length inside a block writes nothing
// but leaves the block open.
TEST_F(WriteBack, SingleLineGroupAndEmptySegment) {
    jg.A_Line(0, 0, 1, 0);
    jg.A_Line(0, 0, 2, 0);
    jg.A_Line(0, 0, 3, 0);
    jg.EntLine[0].CrvNo = 1;
    jg.EntLine[1].CrvNo = 2;
    jg.EntLine[2].CrvNo = 2;
    jg.EntLine[1].x2 = 0;  // now of no length
    jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
    EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0", u"lc1", u"lt1", u"pl", u"0 0 1 0", u"#", u"pl",
                                u"0 0 3 0", u"#"}));
}

// Blocks are never sent back; entries that point at no record are passed over.
TEST_F(WriteBack, BlocksAndBrokenEntriesWriteNothing) {
    AddBlock(jg);
    jg.SetEntNo(99, 0);           // unknown kind
    jg.SetEntNo(kKindCircle, 5);  // no such circle
    jg.SetEntNo(kKindLine, -1);   // no such line
    for (auto write : {All, AllP}) {
        jg.StopDavGaibu();
        jg.S_Init();
        write(jg, TDavOverrides{});
        EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0"}));
    }
}

TEST_F(WriteBack, LayerAndPenOverrides) {
    struct TCase {
        const char* what;
        TDavOverrides o;
        TLines expected;
    };
    const std::u16string line = u"0 0 1 0";
    const TCase cases[] = {
        {"own values", {}, {u"lg3", u"ly4", u"lc5", u"lt2", u"lw7", u"z1", line, u"lg0", u"ly0"}},
        {"layer overrides out of range",
         {16, -5, -1, -1, -1, -1, -1, -1},
         {u"lg3", u"ly4", u"lc5", u"lt2", u"lw7", u"z1", line, u"lg0", u"ly0"}},
        {"layer group 0, layer 15",
         {0, 15, -1, -1, -1, -1, -1, -1},
         {u"lg0", u"lyF", u"lc5", u"lt2", u"lw7", u"z1", line, u"ly0"}},
        {"host codes passed unmapped",
         {-1, -1, -2, 12, 40000, -1, -1, -1},
         {u"lg3", u"ly4", u"lc-2", u"lt12", u"lw0", u"z1", line, u"lg0", u"ly0"}},
        {"solid colour not read without colour 10",
         {-1, -1, 12, -1, 0, -1, -1, 255},
         {u"lg3", u"ly4", u"lc12", u"lt2", u"lw0", u"z1", line, u"lg0", u"ly0"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TJGdata j;
        j.WidF = true;
        j.A_Line(TDavEntAttr{0, 3, 4, 5, 2, 7, 1}, 0, 0, 1, 0);
        j.S_Init();
        AllP(j, c.o);
        EXPECT_EQ(Sent(j), c.expected);
    }
}

// Colour 10 forced with an RGB value: solids take the RGB value, lines and dimensions colour
// code 10, points the point colour 10.
TEST_F(WriteBack, ForcedSolidColour) {
    jg.A_Font(u"<F>");
    jg.A_Line(0, 0, 1, 0);
    jg.A_Ten(1, 1);
    jg.A_Col(3, 0);
    jg.A_SCol(77);
    jg.A_Solid2(0, 0, 1, 0);
    jg.A_Col(10, 0);
    jg.A_SCol(88);
    jg.A_Solid3(0, 0, 1, 0, 1, 1);
    jg.A_Dim(0, 0, 3, 4, 1, 1, 10, 0, u"");
    jg.S_EntAll(-1, -1, 10, -1, -1, -1, -1, 255);
    EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0", u"lc10", u"lt1", u"0 0 1 0", u"pn10", u"pt 1 1",
                                u"lc10 255", u"sl 0 0 1 0", u"sl 0 0 1 0 1 1", u"cn1", u"cc0",
                                u"cn\"$<F>", u"msg", u"0 0 3 4", u"cs 1 1 10 0 \"5"}));
}

// Without overrides a solid of colour 10 sends its own RGB value, any other its colour.
TEST_F(WriteBack, OwnSolidColour) {
    jg.A_Col(3, 0);
    jg.A_SCol(77);
    jg.A_Solid2(0, 0, 1, 0);
    jg.A_Col(10, 0);
    jg.A_SCol(88);
    jg.A_SolidC(0, 0, 5, 1, 0, 0, 360, 5);
    jg.A_SolidO(0, 0, 5, 1, 0, 0, 360, 2);
    jg.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 255);
    EXPECT_EQ(Sent(jg), (TLines{u"lg0", u"ly0", u"lc3", u"sl 0 0 1 0", u"lc10 88",
                                u"sc 0 0 5 1 0 0 360 5", u"so 0 0 5 1 0 0 360 2"}));
}

TEST_F(WriteBack, TextColourAndBasePointOverrides) {
    struct TCase {
        const char* what;
        int a6, a7;
        TLines expected;
    };
    const std::u16string text = u"ch 10 20 10 0 \"AB";
    const TCase cases[] = {
        {"own text type", -1, -1, {u"lg0", u"ly0", u"cn3", u"cc1", u"cn\"$<F>", text}},
        {"forced colour makes a free size",
         5,
         -1,
         {u"lg0", u"ly0", u"cn0 2.5 3 0.5 5", u"cc1", u"cn\"$<F>", text}},
        {"forced base point", -1, 4, {u"lg0", u"ly0", u"cn3", u"cc4", u"cn\"$<F>", text}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TJGdata j;
        j.Mojisyu[3] = TDavMojisyu{2.5, 3.0, 0.5, 7};
        j.A_Mjs(3, 0, 0, 0, 0, 0);
        j.A_Mbs(1);
        j.A_Font(u"<F>");
        j.A_Text(0, 10, 20, 10, 0, u"AB");
        j.S_Init();
        AllP(j, TDavOverrides{-1, -1, -1, -1, -1, c.a6, c.a7, -1});
        EXPECT_EQ(Sent(j), c.expected);
    }
}

TEST_F(WriteBack, EmptyModelInSheetUnits) {
    jg.Zusun = true;
    auto calls = InstallEscape(1);  // held down, but never asked
    for (auto write : {All, AllP}) {
        jg.StopDavGaibu();
        jg.S_Init();
        write(jg, TDavOverrides{});
        EXPECT_EQ(Sent(jg), (TLines{u"bz", u"lg0", u"ly0"}));
    }
    EXPECT_EQ(*calls, 0);
}

// Escape drops the whole buffer, "bz" and earlier commands included; the host's layer group
// and layer are still written after it.
TEST_F(WriteBack, EscapeAborts) {
    struct TCase {
        const char* what;
        bool grouped;
        int downFrom;
        int calls;
        bool aborted;
    };
    const TCase cases[] = {
        {"plain, never", false, INT_MAX, 3, false},
        {"plain, at the start", false, 1, 1, true},
        {"plain, at entity 100", false, 2, 2, true},
        {"plain, at entity 200", false, 3, 3, true},
        {"grouped, never", true, INT_MAX, 3 + 4, false},
        {"grouped, at entity 200", true, 3, 3, true},
        {"grouped, at group 1", true, 4, 4, true},
        {"grouped, at group 4", true, 7, 7, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TJGdata j;
        j.Zusun = true;
        j.CurLGrp = 2;
        j.SendMem(u"h#earlier");
        for (int i = 0; i < 250; ++i) {
            j.A_Circle(i, 0, 1);
        }
        // Groups 1, 2 and 4; group 3 has no lines.
        for (int g : {1, 2, 4, 1}) {
            j.A_Line(0, 0, g, 1);
            j.EntLine[static_cast<size_t>(j.EntLineN) - 1].CrvNo = g;
        }
        j.S_Init();
        auto calls = InstallEscape(c.downFrom);
        if (c.grouped) {
            j.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        } else {
            j.S_EntAll(-1, -1, -1, -1, -1, -1, -1, -1);
        }
        EXPECT_EQ(*calls, c.calls);
        if (c.aborted) {
            EXPECT_EQ(Sent(j), (TLines{u"lg2", u"ly0"}));
        } else {
            ASSERT_GT(j.t_MemN, 3);
            EXPECT_EQ(j.t_Mem[0], u"h#earlier");
            EXPECT_EQ(j.t_Mem[1], u"bz");
            EXPECT_EQ(j.t_Mem[static_cast<size_t>(j.t_MemN) - 2], u"lg2");
            EXPECT_EQ(j.t_Mem[static_cast<size_t>(j.t_MemN) - 1], u"ly0");
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Reference: the straightforward order of the write-back, scanning the whole drawing order once
// per group number. Each entity is written by its kind's own writer (DavKinds), so the reference
// states only the order, the polyline blocks and the Escape polls; what the writers send is
// checked line for line by the cases above and by the command tests.

bool IsGroupLine(const TJGdata& jg, int pos, int grp) {
    const TDavEntNo en = jg.EntNo[static_cast<size_t>(pos)];
    return en.yn == kKindLine && jg.EntLine[static_cast<size_t>(en.no)].CrvNo == grp;
}

void RefStart(TJGdata& jg) {
    if (jg.Zusun) {
        jg.SendMem(std::u16string(DavKeys::kSheetUnits));
    }
}

void RefEnd(TJGdata& jg) {
    jg.S_LGrp(jg.CurLGrp);
    jg.S_Lay(jg.CurLay);
}

void RefEntAll(TJGdata& jg, const TDavOverrides& o) {
    RefStart(jg);
    for (int i = 0; i < jg.EntN; ++i) {
        if (i % 100 == 0 && EscapePressed()) {
            jg.StopDavGaibu();
            break;
        }
        DavKinds::WriteEntry(jg, jg.EntNo[static_cast<size_t>(i)], o);
    }
    RefEnd(jg);
}

void RefEntAllp(TJGdata& jg, const TDavOverrides& o) {
    RefStart(jg);
    bool aborted = false;
    int maxGrp = 0;
    for (int i = 0; i < jg.EntN; ++i) {
        if (i % 100 == 0 && EscapePressed()) {
            aborted = true;
            break;
        }
        const TDavEntNo en = jg.EntNo[static_cast<size_t>(i)];
        const int crv = en.yn == kKindLine ? jg.EntLine[static_cast<size_t>(en.no)].CrvNo : 0;
        if (crv > 0) {
            maxGrp = std::max(maxGrp, crv);
        } else {
            DavKinds::WriteEntry(jg, en, o);
        }
    }
    // Each group, in the order of its number, as one block: "pl" after the first line's
    // attributes, "#" after the last line.
    for (int j = 1; !aborted && j <= maxGrp; ++j) {
        if (EscapePressed()) {
            aborted = true;
            break;
        }
        std::vector<int> lines;
        for (int i = 0; i < jg.EntN; ++i) {
            if (IsGroupLine(jg, i, j)) {
                lines.push_back(jg.EntNo[static_cast<size_t>(i)].no);
            }
        }
        for (size_t k = 0; k < lines.size(); ++k) {
            const TDavEntLine& l = jg.EntLine[static_cast<size_t>(lines[k])];
            DavKinds::WriteHead<DavKinds::TLine>(jg, l, o);
            if (k == 0) {
                jg.S_PLineStart();
            }
            DavKinds::WriteTail<DavKinds::TLine>(jg, l);
        }
        if (!lines.empty()) {
            jg.S_PLineEnd();
        }
    }
    if (aborted) {
        jg.StopDavGaibu();
    }
    RefEnd(jg);
}

// Random changes of the current attributes between two entities of BuildRandomModel.
void ChangeAttributesAtRandom(TJGdata& jg, std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    if (pick(0, 2) == 0) {
        jg.A_LGrp(pick(0, 3));
        jg.A_Lay(pick(0, 3));
    }
    if (pick(0, 2) == 0) {
        jg.A_Col(pick(0, 2) == 0 ? 10 : pick(1, 3), 0);
    }
    if (pick(0, 3) == 0) {
        jg.A_Ltp(pick(1, 3), 0);
    }
    if (pick(0, 3) == 0) {
        jg.A_Wid(pick(0, 2));
    }
    jg.A_Attr(pick(0, 3) == 0 ? pick(0, 31) : 0);
    if (pick(0, 4) == 0) {
        jg.A_Mjs(pick(0, 3), 2.0, 2.5, 0.5, pick(1, 9), 0);
    }
    if (pick(0, 4) == 0) {
        jg.A_Mbs(pick(0, 8));
    }
    if (pick(0, 5) == 0) {
        jg.A_Font(pick(0, 2) == 0 ? u"" : u"<A b>");
    }
    if (pick(0, 4) == 0) {
        jg.A_PCol(pick(1, 9), 0);
    }
    if (pick(0, 4) == 0) {
        jg.A_SCol(pick(0, 1000));
    }
}

// A random model of every kind, with interleaved polyline groups whose numbers have gaps,
// lines outside groups (0 and negative numbers), blocks, and attributes that change often.
// The same seed always builds the same model.
void BuildRandomModel(TJGdata& jg, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    jg.WidF = pick(0, 1) == 1;
    jg.Zusun = pick(0, 3) == 0;
    jg.CurLGrp = pick(0, 3);
    jg.CurLay = pick(0, 3);
    jg.CurFont = u"<Host>";
    jg.Mojisyu[2] = TDavMojisyu{2.5, 3.0, 0.5, 4};
    const bool sparse = pick(0, 9) == 0;
    const int maxGroup = sparse ? pick(200, 3000) : pick(1, 12);
    const int n = pick(0, 330);
    int lastGroup = 1;
    for (int i = 0; i < n; ++i) {
        ChangeAttributesAtRandom(jg, rng);
        const double x = pick(-50, 50);
        const double y = pick(-50, 50);
        const bool withAt = pick(0, 5) == 0;
        const TDavEntAttr at{0,          pick(0, 15), pick(0, 15), pick(1, 10),
                             pick(1, 5), pick(0, 3),  pick(0, 31)};
        const int kind = pick(0, 21);
        if (kind <= 7) {
            if (withAt) {
                jg.A_Line(at, x, y, x + 1, y + pick(0, 3));
            } else {
                jg.A_Line(x, y, x + 1, y + pick(0, 3));
            }
            TDavEntLine& l = jg.EntLine[static_cast<size_t>(jg.EntLineN) - 1];
            const int g = pick(0, 9);
            if (g <= 3) {
                l.CrvNo = 0;
            } else if (g == 4) {
                l.CrvNo = -pick(1, 3);
            } else if (g <= 6) {
                l.CrvNo = lastGroup;
            } else {
                lastGroup = pick(1, maxGroup);
                l.CrvNo = lastGroup;
            }
            if (pick(0, 15) == 0) {
                l.x2 = l.x1;  // a segment of no length
                l.y2 = l.y1;
            }
            continue;
        }
        switch (kind) {
            case 8: jg.A_Circle(x, y, pick(1, 9)); break;
            case 9: jg.A_Arc(x, y, pick(1, 9), 0, pick(1, 359), pick(0, 2) * 0.5, 0); break;
            case 10:
                jg.A_Text(pick(0, 9), x, y, pick(-1, 1), 1, pick(0, 1) ? u"t x" : u"字");
                break;
            case 11: jg.A_Ten(x, y); break;
            case 12: jg.A_Mark(x, y, pick(0, 2), 45, pick(-8, 12)); break;
            case 13:
                jg.A_Dim(x, y, x + pick(1, 9), y, x, y + 1, 10, 0, pick(0, 1) ? u"" : u"9");
                break;
            case 14: AddBlock(jg); break;
            case 15: jg.A_Solid2(x, y, x + 1, y); break;
            case 16: jg.A_Solid3(x, y, x + 1, y, x, y + 1); break;
            case 17: jg.A_Solid4(x, y, x + pick(0, 1), y, x + 1, y + 1, x, y + 1); break;
            case 18: jg.A_SolidC(x, y, 5, 1, 0, 0, 360, pick(0, 1) ? 5 : 100); break;
            case 19: jg.A_SolidD(x, y, 5, 1, 0, 0, 360, 0); break;
            case 20: jg.A_SolidO(at, x, y, 5, 1, 0, 0, 360, 2); break;
            default: jg.A_SolidG(x, y, 5, 1, 0, 0, 360, pick(1, 4)); break;
        }
    }
    if (pick(0, 1) == 0) {
        jg.S_Init();
    }
}

TDavOverrides RandomOverrides(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto maybe = [&](int value) { return pick(0, 2) == 0 ? value : -1; };
    TDavOverrides o;
    o.a1 = pick(0, 3) == 0 ? 16 : maybe(pick(0, 15));
    o.a2 = maybe(pick(0, 15));
    o.a3 = pick(0, 3) == 0 ? 10 : maybe(pick(-2, 9));
    o.a4 = maybe(pick(1, 5));
    o.a5 = maybe(pick(0, 3));
    o.a6 = maybe(pick(1, 9));
    o.a7 = maybe(pick(0, 9));
    o.a8 = pick(0, 300);
    return o;
}

// The writer state both write-backs leave behind.
std::string WriterState(const TJGdata& jg) {
    std::ostringstream s;
    s << jg.w_LGrp << ' ' << jg.w_Lay << ' ' << jg.w_Col << ' ' << jg.w_Ltp << ' ' << jg.w_Wid
      << ' ' << jg.w_Mjs << ' ' << jg.w_MjsW << ' ' << jg.w_MjsC << ' ' << jg.w_Mbs << ' '
      << jg.w_PtCol << ' ' << jg.w_SlCol << ' ' << jg.w_FlgLGrp << jg.w_FlgLay << jg.w_FlgCol
      << jg.w_FlgLtp << jg.w_FlgWid << jg.w_FlgMjs << jg.w_FlgMbs << jg.w_FlgFont << jg.w_FlgPCol
      << jg.w_FlgSCol << ' ' << (jg.w_Font == u"<A b>");
    return s.str();
}

TEST(WriteBackEquivalence, GroupedWriteMatchesTheReference) {
    std::mt19937 rng(407);
    int aborted = 0;
    int blocks = 0;
    for (int run = 0; run < 300; ++run) {
        const std::uint32_t seed = rng();
        const TDavOverrides o = rng() % 3 == 0 ? TDavOverrides{} : RandomOverrides(rng);
        const int downFrom = rng() % 3 == 0 ? static_cast<int>(rng() % 12) + 1 : INT_MAX;
        SCOPED_TRACE("run " + std::to_string(run) + " seed " + std::to_string(seed) +
                     " escape from " + std::to_string(downFrom));
        for (bool grouped : {true, false}) {
            TJGdata fast;
            TJGdata ref;
            BuildRandomModel(fast, seed);
            BuildRandomModel(ref, seed);
            ASSERT_EQ(fast.EntN, ref.EntN);
            auto fastCalls = InstallEscape(downFrom);
            grouped ? AllP(fast, o) : All(fast, o);
            auto refCalls = InstallEscape(downFrom);
            grouped ? RefEntAllp(ref, o) : RefEntAll(ref, o);
            ASSERT_EQ(Sent(fast), Sent(ref)) << (grouped ? "grouped" : "plain");
            EXPECT_EQ(*fastCalls, *refCalls);
            EXPECT_EQ(WriterState(fast), WriterState(ref));
            aborted += *refCalls >= downFrom ? 1 : 0;
            blocks += static_cast<int>(
                std::count(fast.t_Mem.begin(), fast.t_Mem.begin() + fast.t_MemN, u"pl"));
        }
    }
    // The random models must have exercised both the aborts and the blocks.
    EXPECT_GT(aborted, 30);
    EXPECT_GT(blocks, 300);
}

// Group numbers far apart: every number up to the largest is a chance to abort, and the
// loop ends at the largest, even at the top of the integer range.
TEST(WriteBackEquivalence, SparseGroupNumbers) {
    const struct {
        int high;
        int downFrom;
        int calls;
        TLines expected;
    } cases[] = {
        {100000,
         INT_MAX,
         1 + 100000,
         {u"lg0", u"ly0", u"lc1", u"lt1", u"pl", u"0 0 2 0", u"#", u"pl", u"0 0 1 0", u"#"}},
        {INT_MAX, 5, 5, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.high);
        TJGdata jg;
        jg.S_Init();
        jg.A_Line(0, 0, 1, 0);
        jg.A_Line(0, 0, 2, 0);
        jg.EntLine[0].CrvNo = c.high;
        jg.EntLine[1].CrvNo = 3;
        auto calls = InstallEscape(c.downFrom);
        jg.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        EXPECT_EQ(*calls, c.calls);
        EXPECT_EQ(Sent(jg), c.expected);
    }
}

// ---------------------------------------------------------------------------------------------
// Round trip: a host's file read, written back without overrides, and read again holds the same
// entities, the lines of polyline groups after all others.

const char kHostFile[] =
    "\xEF\xBB\xBF"
    "file=C:\\CAD\\plan 1.zmn\r\n"
    "hk 0\r\n"
    "hs 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n"
    "hzs 420 297\r\n"
    "hcw 1 1.5 2 2.5 3 3.5 4 5 6 7\r\n"
    "hch 1 1.5 2 2.5 3 3.5 4 5 6 7\r\n"
    "hcd 0 0 0 0 0 0 0 0 0 0\r\n"
    "hcc 1 2 3 4 5 6 7 8 9 2\r\n"
    "hp1 10 20\r\n"
    "lg0\r\n"
    "ly1\r\n"
    "lc2\r\n"
    "lt1\r\n"
    "lw1\r\n"
    "cn3\r\n"
    "cc0\r\n"
    "cn\"$<ＭＳ ゴシック>\r\n"
    "0 0 100 0\r\n"
    "pl\r\n"
    "0 10 50 10\r\n"
    "50 10 50 60\r\n"
    "50 60 0 10\r\n"
    "#\r\n"
    "lc5\r\n"
    "lt2\r\n"
    "ci 50 50 10\r\n"
    "ci 50 50 20 0 90 1 0\r\n"
    "z1\r\n"
    "ch 10 10 10 0 \"テキスト A\r\n"
    "pn3\r\n"
    "pt 5 5\r\n"
    "pt 6 6 1.5 0 2\r\n"
    "lg2\r\n"
    "ly3\r\n"
    "pl\r\n"
    "10 10 20 20.25\r\n"
    "#\r\n"
    "msg\r\n"
    "0 -10 30 -10\r\n"
    "cs 15 -8 10 0 \"30\r\n"
    "cn0 2.5 3 0.5 4\r\n"
    "cc4\r\n"
    "cv 0 0 0 10 \"縦 書き\r\n"
    "lc10 255\r\n"
    "z3\r\n"
    "sl 0 0 10 0 10 10\r\n"
    "sl 0 0 10 0 10 10 0 10\r\n"
    "lc3\r\n"
    "lw2\r\n"
    "sl 0 0 5 0\r\n"
    "sc 0 0 5 1 0 0 360 5\r\n"
    "se 0 0 5 1 0 0 360 100\r\n"
    "so 0 0 5 1 0 0 360 2\r\n"
    "sg 0 0 5 1 0 0 360 2\r\n"
    "lg1\r\n"
    "ly0\r\n"
    "pl\r\n"
    "0 0 0 5\r\n"
    "0 5 5 5\r\n"
    "#\r\n"
    "BL 0 0 block1\r\n"
    "hhp1\r\n"
    "1 2 3 4\r\n";

std::string Num(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

std::string Nums(std::initializer_list<double> values) {
    std::string out;
    for (double v : values) {
        out += ' ' + Num(v);
    }
    return out;
}

std::string Text(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out += c < 128 ? std::string(1, static_cast<char>(c)) : "U+" + std::to_string(c);
    }
    return out;
}

// Layer group, layer and marks; every writer sends them.
std::string Common(const TDavEntAttr& a) {
    return " lg" + std::to_string(a.LGrp) + " ly" + std::to_string(a.Lay) + " z" +
           std::to_string(a.Attr);
}

std::string Pen(const TDavEntAttr& a) {
    return " c" + std::to_string(a.Col) + " t" + std::to_string(a.Ltp) + " w" +
           std::to_string(a.Wid);
}

// What a text carries through a write-back: a host text type by its number only (the table
// of sizes is the host's and is not written), a free size with its sizes and colour.
std::string TextFields(const TDavEntText& t) {
    std::string s =
        " no" + std::to_string(t.no) + " cc" + std::to_string(t.cc) + " cn" + std::to_string(t.cn);
    if (t.cn < 1 || t.cn > 10) {
        s += Nums({t.mw, t.mh, t.md}) + " c" + std::to_string(t.att.Col);
    }
    return s + Nums({t.x1, t.y1, t.x2, t.y2}) + " fo" + Text(t.fo) + " st" + Text(t.st);
}

// A solid's RGB value is written only with colour 10.
std::string SolidColour(const TDavEntAttr& a, int rgb) {
    return " c" + std::to_string(a.Col) + (a.Col == 10 ? " rgb" + std::to_string(rgb) : "");
}

// One description per entity, of what a write-back carries, in drawing order; with
// groupsLast the lines of polyline groups are moved to the end, in group order.
// The entities in the order the write-back sends them: drawing order, blocks left out, and with
// groupsLast the lines of polyline groups after everything else, group by group.
std::vector<TDavEntNo> SentOrder(const TJGdata& jg, bool groupsLast) {
    std::vector<TDavEntNo> order;
    std::vector<TDavEntNo> grouped;
    for (int i = 0; i < jg.EntN; ++i) {
        const TDavEntNo en = jg.EntNo[static_cast<size_t>(i)];
        if (en.yn == kKindBlock) {
            continue;
        }
        const bool inGroup = en.yn == kKindLine && jg.EntLine[static_cast<size_t>(en.no)].CrvNo > 0;
        (groupsLast && inGroup ? grouped : order).push_back(en);
    }
    std::stable_sort(grouped.begin(), grouped.end(), [&](TDavEntNo a, TDavEntNo b) {
        return jg.EntLine[static_cast<size_t>(a.no)].CrvNo <
               jg.EntLine[static_cast<size_t>(b.no)].CrvNo;
    });
    order.insert(order.end(), grouped.begin(), grouped.end());
    return order;
}

std::vector<std::string> Describe(const TJGdata& jg, bool groupsLast) {
    const std::vector<TDavEntNo> order = SentOrder(jg, groupsLast);

    std::vector<std::string> out;
    for (const TDavEntNo en : order) {
        const auto i = static_cast<size_t>(en.no);
        std::string d = "kind" + std::to_string(en.yn);
        switch (en.yn) {
            case kKindLine: {
                const TDavEntLine& e = jg.EntLine[i];
                d += Common(e.att) + Pen(e.att) + " crv" + std::to_string(e.CrvNo) +
                     Nums({e.x1, e.y1, e.x2, e.y2});
                break;
            }
            case kKindCircle: {
                const TDavEntCircle& e = jg.EntCirc[i];
                d += Common(e.att) + Pen(e.att) + Nums({e.cx, e.cy, e.cr});
                break;
            }
            case kKindArc: {
                const TDavEntArc& e = jg.EntArc[i];
                d += Common(e.att) + Pen(e.att) + Nums({e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka});
                break;
            }
            case kKindText: d += Common(jg.EntText[i].att) + TextFields(jg.EntText[i]); break;
            case kKindPoint: {
                const TDavEntPnt& e = jg.EntPnt[i];
                d += Common(e.att) + " c" + std::to_string(e.att.Col) + " w" +
                     std::to_string(e.att.Wid) + Nums({e.px, e.py});
                break;
            }
            case kKindMark: {
                const TDavEntMark& e = jg.EntMark[i];
                d += Common(e.att) + " c" + std::to_string(e.att.Col) + " w" +
                     std::to_string(e.att.Wid) + Nums({e.px, e.py, e.bai, e.ang}) + " cod" +
                     std::to_string(e.cod);
                break;
            }
            case kKindDim: {
                const TDavEntDim& e = jg.EntDim[i];
                d += Common(e.att) + Pen(e.lin.att) +
                     Nums({e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2}) + TextFields(e.txt);
                break;
            }
            case kKindSolid2: {
                const TDavEntSld2& e = jg.EntSld2[i];
                d += Common(e.att) + SolidColour(e.att, e.Color) + " w" +
                     std::to_string(e.att.Wid) + Nums({e.x1, e.y1, e.x2, e.y2});
                break;
            }
            case kKindSolid3: {
                const TDavEntSld3& e = jg.EntSld3[i];
                d += Common(e.att) + SolidColour(e.att, e.Color) +
                     Nums({e.x1, e.y1, e.x2, e.y2, e.x3, e.y3});
                break;
            }
            case kKindSolid4: {
                const TDavEntSld4& e = jg.EntSld4[i];
                d += Common(e.att) + SolidColour(e.att, e.Color) +
                     Nums({e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4});
                break;
            }
            case kKindSolidC:
            case kKindSolidE: {
                const TDavEntSldC& e = en.yn == kKindSolidC ? jg.EntSldC[i] : jg.EntSldE[i];
                d += Common(e.att) + SolidColour(e.att, e.Color) +
                     (en.yn == kKindSolidE ? " w" + std::to_string(e.att.Wid) : "") +
                     Nums({e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da}) + " fl" +
                     std::to_string(e.fl);
                break;
            }
            case kKindSolidO:
            case kKindSolidG: {
                const TDavEntSldD& e = en.yn == kKindSolidO ? jg.EntSldO[i] : jg.EntSldG[i];
                d += Common(e.att) + SolidColour(e.att, e.Color) +
                     Nums({e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri});
                break;
            }
            default: break;
        }
        out.push_back(d);
    }
    return out;
}

using WriteBackRoundTrip = TestSupport::TTempFolderTest;

TEST_F(WriteBackRoundTrip, HostFileComesBackWithGroupsLast) {
    const std::filesystem::path written = dir_ / "ZIV_TEMP.TXT";
    TestSupport::WriteAll(written, std::string_view(kHostFile, sizeof kHostFile - 1));
    const struct {
        std::filesystem::path in;
        int entities;
    } cases[] = {
        {written, 23},
        {std::filesystem::path(R407_EXAMPLES) / "ZIV_TEMP.TXT", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in.string());
        const std::filesystem::path out = dir_ / "OUT.TXT";
        TJGdata host;
        host.OpenTempFile(c.in.u16string());
        ASSERT_EQ(host.EntN, c.entities);
        host.S_Init();
        host.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        host.SaveTempFile(out.u16string());

        TJGdata back;
        back.OpenTempFile(out.u16string());
        EXPECT_TRUE(back.MojiCode);
        EXPECT_EQ(Describe(back, false), Describe(host, true));
        // Written back, the groups are already last: a second round writes the same lines.
        back.S_Init();
        back.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        host.StopDavGaibu();
        host.S_Init();
        host.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, -1);
        EXPECT_EQ(Sent(back), Sent(host));
    }
}

}  // namespace
