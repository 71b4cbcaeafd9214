// ModelCheck: the invariants every model keeps, whatever it was read from or given; shared by
// the unit tests and the fuzz targets.
#pragma once

#include <array>
#include <string>
#include <utility>  // for std::pair

#include "exchange/DavGaibu.h"

namespace ModelCheck {

// What is wrong with the model, or the empty text when nothing is: EntN is the sum of the
// fifteen counts, every index entry names an existing record, each kind's records are indexed
// once and in order, the fixed tables keep their sizes and every table index stays in range.
inline std::string Problem(const TJGdata& jg) {
    const std::array<std::pair<int, size_t>, 16> lists = {{
        {0, 0},
        {jg.EntLineN, jg.EntLine.size()},
        {jg.EntCircN, jg.EntCirc.size()},
        {jg.EntArcN, jg.EntArc.size()},
        {jg.EntTextN, jg.EntText.size()},
        {jg.EntPntN, jg.EntPnt.size()},
        {jg.EntMarkN, jg.EntMark.size()},
        {jg.EntDimN, jg.EntDim.size()},
        {jg.EntBlkN, jg.EntBlk.size()},
        {jg.EntSld2N, jg.EntSld2.size()},
        {jg.EntSld3N, jg.EntSld3.size()},
        {jg.EntSld4N, jg.EntSld4.size()},
        {jg.EntSldCN, jg.EntSldC.size()},
        {jg.EntSldEN, jg.EntSldE.size()},
        {jg.EntSldON, jg.EntSldO.size()},
        {jg.EntSldGN, jg.EntSldG.size()},
    }};
    int sum = 0;
    for (size_t k = 1; k < lists.size(); ++k) {
        if (lists[k].first < 0 || static_cast<size_t>(lists[k].first) > lists[k].second) {
            return "kind " + std::to_string(k) + " count beyond its storage";
        }
        sum += lists[k].first;
    }
    if (jg.EntN != sum || jg.EntNo.size() < static_cast<size_t>(jg.EntN)) {
        return "EntN " + std::to_string(jg.EntN) + ", counts sum " + std::to_string(sum);
    }
    std::array<int, 16> next{};
    for (int i = 0; i < jg.EntN; ++i) {
        const TDavEntNo& e = jg.EntNo[static_cast<size_t>(i)];
        if (e.yn < 1 || e.yn > 15 || e.no != next[static_cast<size_t>(e.yn)]) {
            return "EntNo[" + std::to_string(i) + "] = (" + std::to_string(e.yn) + ", " +
                   std::to_string(e.no) + ")";
        }
        ++next[static_cast<size_t>(e.yn)];
    }
    if (jg.IPoints.size() != 100 || jg.LGrpStat.size() != 16 || jg.LGrpName.size() != 16 ||
        jg.LayStat.size() != 256 || jg.LayName.size() != 256) {
        return "a fixed table changed its size";
    }
    if (jg.w_LGrp < 0 || jg.w_LGrp > 15 || jg.w_Lay < 0 || jg.w_Lay > 15 || jg.CurLGrp < 0 ||
        jg.CurLGrp > 15 || jg.CurLay < 0 || jg.CurLay > 15 || jg.w_Mbs < 0 || jg.w_Mbs > 8) {
        return "group, layer or base point out of range";
    }
    if (jg.t_MemN < 0 || static_cast<size_t>(jg.t_MemN) > jg.t_Mem.size()) {
        return "command count beyond its storage";
    }
    return {};
}

}  // namespace ModelCheck
