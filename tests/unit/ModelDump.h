// ModelDump: a readable text of every field of a TJGdata model, and its consistency check.
#pragma once

#include <array>
#include <charconv>  // for std::to_chars
#include <string>
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

inline void Attr(TWriter& w, const TDavEntAttr& a) {
    w("IPNo", a.IPNo)("LGrp", a.LGrp)("Lay", a.Lay)("Col", a.Col)("Ltp", a.Ltp)("Wid", a.Wid)(
        "Attr", a.Attr);
}

// The fields of each record type, after its attributes.
inline void Fields(TWriter& w, const TDavEntLine& l) {
    Attr(w, l.att);
    w("CrvNo", l.CrvNo)("x1", l.x1)("y1", l.y1)("x2", l.x2)("y2", l.y2);
}

inline void Fields(TWriter& w, const TDavEntText& t) {
    Attr(w, t.att);
    w("no", t.no)("cc", t.cc)("cn", t.cn)("mw", t.mw)("mh", t.mh)("md", t.md)("x1", t.x1)(
        "y1", t.y1)("x2", t.x2)("y2", t.y2)("fo", t.fo)("st", t.st);
}

inline void Fields(TWriter& w, const TDavEntCircle& c) {
    Attr(w, c.att);
    w("cx", c.cx)("cy", c.cy)("cr", c.cr);
}

inline void Fields(TWriter& w, const TDavEntArc& a) {
    Attr(w, a.att);
    w("cx", a.cx)("cy", a.cy)("cr", a.cr)("sa", a.sa)("ea", a.ea)("he", a.he)("ka", a.ka);
}

inline void Fields(TWriter& w, const TDavEntPnt& p) {
    Attr(w, p.att);
    w("px", p.px)("py", p.py);
}

inline void Fields(TWriter& w, const TDavEntMark& m) {
    Attr(w, m.att);
    w("px", m.px)("py", m.py)("bai", m.bai)("ang", m.ang)("cod", m.cod);
}

inline void Fields(TWriter& w, const TDavEntDim& d) {
    Attr(w, d.att);
    Fields(w, d.lin);
    Fields(w, d.txt);
}

inline void Fields(TWriter& w, const TDavEntBlk& b) {
    Attr(w, b.att);
    w("px", b.px)("py", b.py)("nam", b.nam);
}

inline void Fields(TWriter& w, const TDavEntSld2& s) {
    Attr(w, s.att);
    w("Color", s.Color)("x1", s.x1)("y1", s.y1)("x2", s.x2)("y2", s.y2);
}

inline void Fields(TWriter& w, const TDavEntSld3& s) {
    Attr(w, s.att);
    w("Color", s.Color)("x1", s.x1)("y1", s.y1)("x2", s.x2)("y2", s.y2)("x3", s.x3)("y3", s.y3);
}

inline void Fields(TWriter& w, const TDavEntSld4& s) {
    Attr(w, s.att);
    w("Color", s.Color)("x1", s.x1)("y1", s.y1)("x2", s.x2)("y2", s.y2)("x3", s.x3)("y3", s.y3)(
        "x4", s.x4)("y4", s.y4);
}

// Circular and ring solids share their shape.
template <class T>
void Round(TWriter& w, const T& s) {
    Attr(w, s.att);
    w("Color", s.Color)("cx", s.cx)("cy", s.cy)("cr", s.cr)("he", s.he)("ka", s.ka)("sa", s.sa)(
        "da", s.da);
}

inline void Fields(TWriter& w, const TDavEntSldC& s) {
    Round(w, s);
    w("fl", s.fl);
}

inline void Fields(TWriter& w, const TDavEntSldD& s) {
    Round(w, s);
    w("ri", s.ri);
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
