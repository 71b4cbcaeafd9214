// ModelCheck: the invariants every model keeps, whatever it was read from or given; shared by
// the unit tests and the fuzz targets.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "exchange/DavRules.h"

namespace ModelCheck {

// What is wrong with the model, or the empty text when nothing is: EntN is the sum of the
// kinds' counts, every index entry names an existing record, each kind's records are indexed
// once and in order, the fixed tables keep their sizes and every table index stays in range.
inline std::string Problem(const TJGdata& jg) {
    std::string problem;
    int sum = 0;
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        const int n = K::CountOf(jg);
        if (problem.empty() && (n < 0 || static_cast<size_t>(n) > K::ListOf(jg).size())) {
            problem = "kind " + std::to_string(K::kCode) + " count beyond its storage";
        }
        sum += n;
    });
    if (!problem.empty()) {
        return problem;
    }
    if (jg.EntN != sum || jg.EntNo.size() < static_cast<size_t>(jg.EntN)) {
        return "EntN " + std::to_string(jg.EntN) + ", counts sum " + std::to_string(sum);
    }
    std::array<int, DavKinds::kCount + 1> next{};
    for (int i = 0; i < jg.EntN; ++i) {
        const TDavEntNo& e = jg.EntNo[static_cast<size_t>(i)];
        if (e.yn < 1 || e.yn > DavKinds::kCount || e.no != next[static_cast<size_t>(e.yn)]) {
            return "EntNo[" + std::to_string(i) + "] = (" + std::to_string(e.yn) + ", " +
                   std::to_string(e.no) + ")";
        }
        ++next[static_cast<size_t>(e.yn)];
    }
    using namespace DavRules;
    if (jg.IPoints.size() != kPickedPointSlots || jg.LGrpStat.size() != kLayerGroups ||
        jg.LGrpName.size() != kLayerGroups || jg.LayStat.size() != kLayers ||
        jg.LayName.size() != kLayers) {
        return "a fixed table changed its size";
    }
    const auto inRange = [](int v, int last) { return v >= 0 && v <= last; };
    if (!inRange(jg.w_LGrp, kMaxLayer) || !inRange(jg.w_Lay, kMaxLayer) ||
        !inRange(jg.CurLGrp, kMaxLayer) || !inRange(jg.CurLay, kMaxLayer) ||
        !inRange(jg.w_Mbs, kMaxBasePoint)) {
        return "group, layer or base point out of range";
    }
    if (jg.t_MemN < 0 || static_cast<size_t>(jg.t_MemN) > jg.t_Mem.size()) {
        return "command count beyond its storage";
    }
    return {};
}

}  // namespace ModelCheck
