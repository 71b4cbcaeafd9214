// DavGaibuWriteBack: writes the whole entity model of TJGdata back as drawing commands.
#include "DavGaibu.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "exchange/DavKeys.h"
#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"
#include "util/MyFunc.h"

using namespace DavKinds;

namespace {

// The Escape key is polled once every this many entities of the drawing order.
constexpr int kEscapeEvery = 100;

// The line at a position of the drawing order, or nullptr when that entry is not a line.
const TDavEntLine* LineAtPos(const TJGdata& jg, std::int64_t pos) {
    if (pos < 0 || pos >= jg.EntN || static_cast<size_t>(pos) >= jg.EntNo.size()) {
        return nullptr;
    }
    const TDavEntNo& en = jg.EntNo[static_cast<size_t>(pos)];
    return en.yn == TLine::kCode ? TLine::At(jg, en.no) : nullptr;
}

// Number of valid drawing-order entries.
int OrderCount(const TJGdata& jg) {
    return static_cast<int>(std::min<std::int64_t>(jg.EntN, std::ssize(jg.EntNo)));
}

// The entry no of kind K, whole.
template <class K>
void WriteOne(TJGdata& jg, int no, const TDavOverrides& o) {
    if (const typename K::Rec* e = K::At(jg, no)) {
        WriteHead<K>(jg, *e, o);
        WriteTail<K>(jg, *e);
    }
}

// The writers by kind code; nullptr for blocks, which are never written back.
constexpr auto kWriters = TKinds::ByCode<TEntWriter>(
    [](auto k) -> TEntWriter { return TWriterOf<decltype(k)>::kWriter; });

}  // namespace

namespace DavKinds {

void WriteEntry(TJGdata& jg, TDavEntNo en, const TDavOverrides& o) {
    if (en.yn >= 1 && en.yn <= kCount) {
        if (const TEntWriter writer = kWriters[static_cast<size_t>(en.yn)]) {
            (jg.*writer)(en.no, o);
        }
    }
}

}  // namespace DavKinds

// --- One writer per kind, each the entry of its kind in the table (DavKinds: layers, style,
// marks, shape).

void TJGdata::S_EntLine(int no, const TDavOverrides& o) {
    WriteOne<TLine>(*this, no, o);
}

// A line that may open, continue or close a polyline block: c is the open group number, p
// the drawing-order position whose successor decides whether the block goes on.
void TJGdata::S_EntLineP(int no, int p, int& c, const TDavOverrides& o) {
    const TDavEntLine* e = TLine::At(*this, no);
    if (e == nullptr) {
        return;
    }
    WriteHead<TLine>(*this, *e, o);
    if (e->CrvNo > 0 && e->CrvNo != c) {
        S_PLineStart();
        c = e->CrvNo;
    }
    WriteTail<TLine>(*this, *e);
    // The block stays open while the next entry of the drawing order is a line of its group.
    if (c > 0) {
        const std::int64_t next = static_cast<std::int64_t>(p) + 1;
        const TDavEntLine* n =
            next <= static_cast<std::int64_t>(EntN) - 1 ? LineAtPos(*this, next) : nullptr;
        if (n == nullptr || n->CrvNo != c) {
            S_PLineEnd();
            c = 0;
        }
    }
}

void TJGdata::S_EntCirc(int no, const TDavOverrides& o) {
    WriteOne<TCircle>(*this, no, o);
}

void TJGdata::S_EntArc(int no, const TDavOverrides& o) {
    WriteOne<TArc>(*this, no, o);
}

void TJGdata::S_EntText(int no, const TDavOverrides& o) {
    WriteOne<TText>(*this, no, o);
}

void TJGdata::S_EntPnt(int no, const TDavOverrides& o) {
    WriteOne<TPoint>(*this, no, o);
}

void TJGdata::S_EntMark(int no, const TDavOverrides& o) {
    WriteOne<TMark>(*this, no, o);
}

void TJGdata::S_EntDim(int no, const TDavOverrides& o) {
    WriteOne<TDim>(*this, no, o);
}

void TJGdata::S_EntSld2(int no, const TDavOverrides& o) {
    WriteOne<TSolid2>(*this, no, o);
}

void TJGdata::S_EntSld3(int no, const TDavOverrides& o) {
    WriteOne<TSolid3>(*this, no, o);
}

void TJGdata::S_EntSld4(int no, const TDavOverrides& o) {
    WriteOne<TSolid4>(*this, no, o);
}

void TJGdata::S_EntSldC(int no, const TDavOverrides& o) {
    WriteOne<TSolidC>(*this, no, o);
}

void TJGdata::S_EntSldE(int no, const TDavOverrides& o) {
    WriteOne<TSolidE>(*this, no, o);
}

void TJGdata::S_EntSldO(int no, const TDavOverrides& o) {
    WriteOne<TSolidO>(*this, no, o);
}

void TJGdata::S_EntSldG(int no, const TDavOverrides& o) {
    WriteOne<TSolidG>(*this, no, o);
}

// Blocks are the host's own and are not sent back.
void TJGdata::S_EntOne(int yn, int no, const TDavOverrides& o) {
    WriteEntry(*this, TDavEntNo{yn, no}, o);
}

// --- The whole model.

void TJGdata::S_EntAll(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8) {
    const TDavOverrides o{a1, a2, a3, a4, a5, a6, a7, a8};
    if (Zusun) {
        SendMem(std::u16string(DavKeys::kSheetUnits));
    }
    const int n = OrderCount(*this);
    for (int i = 0; i < n; ++i) {
        if (i % kEscapeEvery == 0 && EscapePressed()) {
            StopDavGaibu();
            break;
        }
        const TDavEntNo en = EntNo[static_cast<size_t>(i)];
        S_EntOne(en.yn, en.no, o);
    }
    // The host's current layer group and layer follow the last entity.
    S_LGrp(CurLGrp);
    S_Lay(CurLay);
}

namespace {

// A line of a polyline group, by group number and drawing-order position.
struct TGroupedLine {
    int grp;
    int pos;
};

// Orders the grouped lines by group number, keeping the drawing order within each group.
// Lines arrive in drawing order; a counting sort is used when the group numbers are dense.
void SortByGroup(std::vector<TGroupedLine>& lines, int maxGrp) {
    if (static_cast<std::int64_t>(maxGrp) <= 4 * std::ssize(lines) + 1024) {
        std::vector<int> start(static_cast<size_t>(maxGrp) + 2, 0);
        for (const TGroupedLine& l : lines) {
            ++start[static_cast<size_t>(l.grp) + 1];
        }
        for (size_t g = 1; g < start.size(); ++g) {
            start[g] += start[g - 1];
        }
        std::vector<TGroupedLine> sorted(lines.size());
        for (const TGroupedLine& l : lines) {
            sorted[static_cast<size_t>(start[static_cast<size_t>(l.grp)]++)] = l;
        }
        lines = std::move(sorted);
    } else {
        std::stable_sort(
            lines.begin(), lines.end(),
            [](const TGroupedLine& a, const TGroupedLine& b) { return a.grp < b.grp; });
    }
}

}  // namespace

// Lines of polyline groups are held back and written last, each group as one block.
void TJGdata::S_EntAllp(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8) {
    const TDavOverrides o{a1, a2, a3, a4, a5, a6, a7, a8};
    if (Zusun) {
        SendMem(std::u16string(DavKeys::kSheetUnits));
    }
    bool aborted = false;
    std::vector<TGroupedLine> grouped;
    int maxGrp = 0;
    const int n = OrderCount(*this);
    for (int i = 0; i < n; ++i) {
        if (i % kEscapeEvery == 0 && EscapePressed()) {
            aborted = true;
            break;
        }
        const TDavEntNo en = EntNo[static_cast<size_t>(i)];
        if (en.yn != TLine::kCode) {
            S_EntOne(en.yn, en.no, o);
            continue;
        }
        const TDavEntLine* line = TLine::At(*this, en.no);
        if (line == nullptr) {
            continue;
        }
        if (line->CrvNo > 0) {
            grouped.push_back({line->CrvNo, i});
            maxGrp = std::max(maxGrp, line->CrvNo);
        } else {
            int c = 0;
            S_EntLineP(en.no, i, c, o);
        }
    }
    if (!aborted && maxGrp > 0) {
        SortByGroup(grouped, maxGrp);
        // Every group number is a chance to abort, even one without lines. Each line is told
        // the position before its group's next line, so the block runs on to that line; the
        // last line of a group gets a position past the end, which closes the block.
        const std::int64_t past = static_cast<std::int64_t>(EntN) + 1;
        size_t k = 0;
        for (std::int64_t j = 1; j <= maxGrp; ++j) {
            if (EscapePressed()) {
                aborted = true;
                break;
            }
            int c = 0;
            for (; k < grouped.size() && grouped[k].grp == j; ++k) {
                const bool more = k + 1 < grouped.size() && grouped[k + 1].grp == j;
                const std::int64_t p = more ? grouped[k + 1].pos - 1 : past;
                const int no = EntNo[static_cast<size_t>(grouped[k].pos)].no;
                S_EntLineP(no, static_cast<int>(std::min<std::int64_t>(p, INT32_MAX)), c, o);
            }
        }
    }
    if (aborted) {
        StopDavGaibu();
    }
    S_LGrp(CurLGrp);
    S_Lay(CurLay);
}
