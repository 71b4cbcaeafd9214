// ModelDump: a readable text of every field of a TJGdata model, and its consistency check.
#pragma once

#include <array>
#include <charconv>  // for std::to_chars
#include <string>
#include <type_traits>
#include <utility>  // for std::pair
#include <vector>

#include <gtest/gtest.h>

#include "exchange/DavGaibu.h"
#include "exchange/DavKinds.h"
#include "tests/unit/ModelCheck.h"
#include "util/TextFile.h"

namespace ModelDump {

class TWriter {
public:
    std::string out;

    TWriter& operator()(const char* name, double v) {
        char buf[32];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        return Put(name, std::string(buf, r.ptr));
    }
    TWriter& operator()(const char* name, int v) { return Put(name, std::to_string(v)); }
    TWriter& operator()(const char* name, bool v) { return Put(name, v ? "1" : "0"); }
    TWriter& operator()(const char* name, const std::u16string& v) {
        return Put(name, "\"" + ToUtf8(v) + "\"");
    }
    TWriter& Line() {
        out += '\n';
        return *this;
    }

private:
    TWriter& Put(const char* name, const std::string& v) {
        out += name;
        out += '=';
        out += v;
        out += ' ';
        return *this;
    }
};

// The fields of a record as the kind table describes them, a nested record's (its attributes,
// a dimension's line and text) in its place.
template <class R>
requires DavKinds::Described<R>
void Fields(TWriter& w, const R& e) {
    DavKinds::ForEachField(e, [&](const auto& field, const auto& v) {
        if constexpr (DavKinds::Described<std::remove_cvref_t<decltype(v)>>) {
            Fields(w, v);
        } else {
            w(field.name, v);
        }
    });
}

template <class T, class F>
void List(TWriter& w, const char* name, const std::vector<T>& list, int count, F&& f) {
    w(name, count).Line();
    for (int i = 0; i < count && static_cast<size_t>(i) < list.size(); ++i) {
        f(list[static_cast<size_t>(i)]);
        w.Line();
    }
}

// Every field of the model, the valid entries of every list included.
inline std::string Dump(const TJGdata& jg, bool withRgb = true) {
    TWriter w;
    w("FlgLGrp", jg.w_FlgLGrp)("FlgLay", jg.w_FlgLay)("FlgCol", jg.w_FlgCol)("FlgLtp", jg.w_FlgLtp)(
        "FlgWid", jg.w_FlgWid)("FlgMjs", jg.w_FlgMjs)("FlgMbs", jg.w_FlgMbs)(
        "FlgFont", jg.w_FlgFont)("FlgPCol", jg.w_FlgPCol)("FlgSCol", jg.w_FlgSCol)
        .Line();
    w("IPNo", jg.w_IPNo)("LGrp", jg.w_LGrp)("Lay", jg.w_Lay)("Col", jg.w_Col)("Ltp", jg.w_Ltp)(
        "Wid", jg.w_Wid)("Mjs", jg.w_Mjs)("MjsW", jg.w_MjsW)("MjsH", jg.w_MjsH)("MjsD", jg.w_MjsD)(
        "MjsC", jg.w_MjsC)("Mbs", jg.w_Mbs)("Font", jg.w_Font)("Attr", jg.w_Attr)(
        "CrvNo", jg.w_CrvNo)("CrvFl", jg.w_CrvFl)("DimFl", jg.w_DimFl)("PtCol", jg.w_PtCol)(
        "SlCol", jg.w_SlCol)
        .Line();
    w("MojiCode", jg.MojiCode)("Jikukaku", jg.Jikukaku)("ZumenFile", jg.ZumenFile)(
        "ZumenXsize", jg.ZumenXsize)("ZumenYsize", jg.ZumenYsize)("Zusun", jg.Zusun)(
        "AreaX1", jg.AreaX1)("AreaY1", jg.AreaY1)("AreaX2", jg.AreaX2)("AreaY2", jg.AreaY2)
        .Line();
    for (double s : jg.LGrpScale) {
        w("scale", s);
    }
    w.Line();
    for (size_t k = 1; k < jg.Mojisyu.size(); ++k) {
        const TDavMojisyu& m = jg.Mojisyu[k];
        w("W", m.W)("H", m.H)("D", m.D)("C", m.C);
    }
    w.Line();
    if (withRgb) {
        for (int v : jg.RGB) {
            w("rgb", v);
        }
        w.Line();
    }
    w("CurLGrp", jg.CurLGrp)("CurLay", jg.CurLay)("CurCol", jg.CurCol)("CurLtp", jg.CurLtp)(
        "CurWid", jg.CurWid)("CurMjs", jg.CurMjs)("CurMjsW", jg.CurMjsW)("CurMjsH", jg.CurMjsH)(
        "CurMjsD", jg.CurMjsD)("CurMjsC", jg.CurMjsC)("CurFont", jg.CurFont)
        .Line();
    w("IPointN", jg.IPointN)("WidF", jg.WidF)("points", static_cast<int>(jg.IPoints.size()));
    for (const TDavIndPoint& p : jg.IPoints) {
        if (p.flg || p.x != 0.0 || p.y != 0.0 || p.sta != 0) {
            w("flg", p.flg)("x", p.x)("y", p.y)("sta", p.sta);
        }
    }
    w.Line();
    for (size_t i = 0; i < jg.LGrpStat.size(); ++i) {
        w("gs", jg.LGrpStat[i])("gn", jg.LGrpName[i]);
    }
    w.Line();
    for (size_t i = 0; i < jg.LayStat.size(); ++i) {
        if (jg.LayStat[i] != 0 || !jg.LayName[i].empty()) {
            w("i", static_cast<int>(i))("ls", jg.LayStat[i])("ln", jg.LayName[i]);
        }
    }
    w.Line();
    List(w, "EntN", jg.EntNo, jg.EntN, [&](const TDavEntNo& e) { w("yn", e.yn)("no", e.no); });
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        const std::string count = std::string("Ent") + K::kName + "N";
        List(w, count.c_str(), K::ListOf(jg), K::CountOf(jg),
             [&](const typename K::Rec& e) { Fields(w, e); });
        if constexpr (K::kCode == kKindLine) {
            // The line of the dimension being read, after the lines.
            w("sun", 0);
            Fields(w, jg.EntSunLine);
            w.Line();
        }
    });
    w("t_MemN", jg.t_MemN)("t_PLineN", jg.t_PLineN)("aCol", jg.aCol)("aSCol", jg.aSCol).Line();
    for (int i = 0; i < jg.t_MemN && static_cast<size_t>(i) < jg.t_Mem.size(); ++i) {
        w("mem", jg.t_Mem[static_cast<size_t>(i)]);
    }
    return w.out;
}

// The model keeps its invariants (see ModelCheck::Problem).
inline ::testing::AssertionResult Consistent(const TJGdata& jg) {
    const std::string problem = ModelCheck::Problem(jg);
    if (!problem.empty()) {
        return ::testing::AssertionFailure() << problem;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace ModelDump
