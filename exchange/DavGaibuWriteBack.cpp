// DavGaibuWriteBack: writes the whole entity model of TJGdata back as drawing commands.
#include "DavGaibu.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "util/MyFunc.h"

namespace {

// The Escape key is polled once every this many entities of the drawing order.
constexpr int kEscapeEvery = 100;

// The record at index no of a list, or nullptr when no points past the list's valid entries.
template <class T>
const T* At(const std::vector<T>& list, int count, int no) {
    if (no < 0 || no >= count || static_cast<size_t>(no) >= list.size()) {
        return nullptr;
    }
    return &list[static_cast<size_t>(no)];
}

// The line at a position of the drawing order, or nullptr when that entry is not a line.
const TDavEntLine* LineAtPos(const TJGdata& jg, std::int64_t pos) {
    if (pos < 0 || pos >= jg.EntN || static_cast<size_t>(pos) >= jg.EntNo.size()) {
        return nullptr;
    }
    const TDavEntNo& en = jg.EntNo[static_cast<size_t>(pos)];
    return en.yn == kKindLine ? At(jg.EntLine, jg.EntLineN, en.no) : nullptr;
}

// Number of valid drawing-order entries.
int OrderCount(const TJGdata& jg) {
    return static_cast<int>(std::min<std::int64_t>(jg.EntN, std::ssize(jg.EntNo)));
}

// An override forces its value unless it is -1, which keeps the entity's own.
int Pick(int forced, int own) {
    return forced == -1 ? own : forced;
}

// Layer group and layer overrides count only inside 0..15.
int PickLayer(int forced, int own) {
    return (forced < 0 || forced > 15) ? own : forced;
}

void LayerCommands(TJGdata& jg, const TDavEntAttr& att, const TDavOverrides& o) {
    jg.S_LGrp(PickLayer(o.a1, att.LGrp));
    jg.S_Lay(PickLayer(o.a2, att.Lay));
}

void PenCommands(TJGdata& jg, const TDavEntAttr& pen, const TDavOverrides& o) {
    jg.S_Col(Pick(o.a3, pen.Col), 0);
    jg.S_Ltp(Pick(o.a4, pen.Ltp), 0);
    jg.S_Wid(Pick(o.a5, pen.Wid));
}

// A text keeps its type and colour, or with a forced text colour becomes a free-size text
// of its stored sizes in that colour.
void TextCommands(TJGdata& jg, const TDavEntText& t, const TDavOverrides& o) {
    if (o.a6 == -1) {
        jg.S_Mjs(t.cn, t.mw, t.mh, t.md, t.att.Col, 0);
    } else {
        jg.S_Mjs(0, t.mw, t.mh, t.md, o.a6, 0);
    }
    jg.S_Mbs(Pick(o.a7, t.cc));
    jg.S_Font(t.fo);
}

// Colour code 10 means the solid's own RGB value; a forced 10 means the forced RGB value.
void SolidColour(TJGdata& jg, const TDavEntAttr& att, int rgb, const TDavOverrides& o) {
    if (o.a3 == -1) {
        if (att.Col == 10) {
            jg.S_SCol(rgb);
        } else {
            jg.S_Col(att.Col, 0);
        }
    } else if (o.a3 == 10) {
        jg.S_SCol(o.a8);
    } else {
        jg.S_Col(o.a3, 0);
    }
}

}  // namespace

// --- One writer per kind: layer group, layer, the kind's attributes, marks, the entity.

// A line on its own, whatever its group: no polyline block.
void TJGdata::S_EntLine(int no, const TDavOverrides& o) {
    const TDavEntLine* e = At(EntLine, EntLineN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    PenCommands(*this, e->att, o);
    S_Attr(e->att.Attr);
    S_Line(e->x1, e->y1, e->x2, e->y2);
}

// A line that may open, continue or close a polyline block: c is the open group number, p
// the drawing-order position whose successor decides whether the block goes on.

void TJGdata::S_EntLineP(int no, int p, int& c, const TDavOverrides& o) {
    const TDavEntLine* e = At(EntLine, EntLineN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    PenCommands(*this, e->att, o);
    if (e->CrvNo > 0 && e->CrvNo != c) {
        S_PLineStart();
        c = e->CrvNo;
    }
    S_Attr(e->att.Attr);
    S_Line(e->x1, e->y1, e->x2, e->y2);
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
    const TDavEntCircle* e = At(EntCirc, EntCircN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    PenCommands(*this, e->att, o);
    S_Attr(e->att.Attr);
    S_Circle(e->cx, e->cy, e->cr);
}

void TJGdata::S_EntArc(int no, const TDavOverrides& o) {
    const TDavEntArc* e = At(EntArc, EntArcN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    PenCommands(*this, e->att, o);
    S_Attr(e->att.Attr);
    S_Arc(e->cx, e->cy, e->cr, e->sa, e->ea, e->he, e->ka);
}

void TJGdata::S_EntText(int no, const TDavOverrides& o) {
    const TDavEntText* e = At(EntText, EntTextN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    TextCommands(*this, *e, o);
    S_Attr(e->att.Attr);
    S_Text(e->no, e->x1, e->y1, e->x2, e->y2, e->st);
}

void TJGdata::S_EntPnt(int no, const TDavOverrides& o) {
    const TDavEntPnt* e = At(EntPnt, EntPntN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    S_PCol(Pick(o.a3, e->att.Col), 0);
    S_Wid(Pick(o.a5, e->att.Wid));
    S_Attr(e->att.Attr);
    S_Ten(e->px, e->py);
}

void TJGdata::S_EntMark(int no, const TDavOverrides& o) {
    const TDavEntMark* e = At(EntMark, EntMarkN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    S_PCol(Pick(o.a3, e->att.Col), 0);
    S_Wid(Pick(o.a5, e->att.Wid));
    S_Attr(e->att.Attr);
    S_Mark(e->px, e->py, e->bai, e->ang, e->cod);
}

// A dimension takes its layers and marks from its own attributes, its pen from its line and
// its text settings from its text.
void TJGdata::S_EntDim(int no, const TDavOverrides& o) {
    const TDavEntDim* e = At(EntDim, EntDimN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    PenCommands(*this, e->lin.att, o);
    TextCommands(*this, e->txt, o);
    S_Attr(e->att.Attr);
    S_Dim(e->lin.x1, e->lin.y1, e->lin.x2, e->lin.y2, e->txt.x1, e->txt.y1, e->txt.x2, e->txt.y2,
          e->txt.st);
}

void TJGdata::S_EntSld2(int no, const TDavOverrides& o) {
    const TDavEntSld2* e = At(EntSld2, EntSld2N, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Wid(Pick(o.a5, e->att.Wid));
    S_Attr(e->att.Attr);
    S_Solid2(e->x1, e->y1, e->x2, e->y2);
}

void TJGdata::S_EntSld3(int no, const TDavOverrides& o) {
    const TDavEntSld3* e = At(EntSld3, EntSld3N, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Attr(e->att.Attr);
    S_Solid3(e->x1, e->y1, e->x2, e->y2, e->x3, e->y3);
}

void TJGdata::S_EntSld4(int no, const TDavOverrides& o) {
    const TDavEntSld4* e = At(EntSld4, EntSld4N, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Attr(e->att.Attr);
    S_Solid4(e->x1, e->y1, e->x2, e->y2, e->x3, e->y3, e->x4, e->y4);
}

void TJGdata::S_EntSldC(int no, const TDavOverrides& o) {
    const TDavEntSldC* e = At(EntSldC, EntSldCN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Attr(e->att.Attr);
    S_SolidC(e->cx, e->cy, e->cr, e->he, e->ka, e->sa, e->da, e->fl);
}

void TJGdata::S_EntSldE(int no, const TDavOverrides& o) {
    const TDavEntSldC* e = At(EntSldE, EntSldEN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Wid(Pick(o.a5, e->att.Wid));
    S_Attr(e->att.Attr);
    S_SolidD(e->cx, e->cy, e->cr, e->he, e->ka, e->sa, e->da, e->fl);
}

void TJGdata::S_EntSldO(int no, const TDavOverrides& o) {
    const TDavEntSldD* e = At(EntSldO, EntSldON, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Attr(e->att.Attr);
    S_SolidO(e->cx, e->cy, e->cr, e->he, e->ka, e->sa, e->da, e->ri);
}

void TJGdata::S_EntSldG(int no, const TDavOverrides& o) {
    const TDavEntSldD* e = At(EntSldG, EntSldGN, no);
    if (e == nullptr) {
        return;
    }
    LayerCommands(*this, e->att, o);
    SolidColour(*this, e->att, e->Color, o);
    S_Attr(e->att.Attr);
    S_SolidG(e->cx, e->cy, e->cr, e->he, e->ka, e->sa, e->da, e->ri);
}

void TJGdata::S_EntOne(int yn, int no, const TDavOverrides& o) {
    switch (yn) {
        case kKindLine: S_EntLine(no, o); break;
        case kKindCircle: S_EntCirc(no, o); break;
        case kKindArc: S_EntArc(no, o); break;
        case kKindText: S_EntText(no, o); break;
        case kKindPoint: S_EntPnt(no, o); break;
        case kKindMark: S_EntMark(no, o); break;
        case kKindDim: S_EntDim(no, o); break;
        case kKindSolid2: S_EntSld2(no, o); break;
        case kKindSolid3: S_EntSld3(no, o); break;
        case kKindSolid4: S_EntSld4(no, o); break;
        case kKindSolidC: S_EntSldC(no, o); break;
        case kKindSolidE: S_EntSldE(no, o); break;
        case kKindSolidO: S_EntSldO(no, o); break;
        case kKindSolidG: S_EntSldG(no, o); break;
        default: break;  // blocks are the host's own and are not sent back
    }
}

// --- The whole model.

void TJGdata::S_EntAll(int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8) {
    const TDavOverrides o{a1, a2, a3, a4, a5, a6, a7, a8};
    if (Zusun) {
        SendMem(u"bz");
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
        SendMem(u"bz");
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
        if (en.yn != kKindLine) {
            S_EntOne(en.yn, en.no, o);
            continue;
        }
        const TDavEntLine* line = At(EntLine, EntLineN, en.no);
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
