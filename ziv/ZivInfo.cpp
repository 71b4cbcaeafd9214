// ZivInfo: the summary, section by section.
#include "ziv/ZivInfo.h"

#include <array>
#include <cstdio>

#include "exchange/DavKinds.h"
#include "exchange/DavReadSink.h"
#include "util/TextFile.h"
#include "ziv/ZivLoad.h"
#include "ziv/ZivNumber.h"

namespace {

using ZivNumber::Text;

std::string Hex(int v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return (v >= 0 && v < 16) ? std::string(1, kDigits[v]) : std::to_string(v);
}

std::string Quote(const std::u16string& s) {
    std::string q(1, '"');
    AppendUtf8(q, s);
    q += '"';
    return q;
}

void Line(std::string& out, const std::string& label, const std::string& value) {
    out += label;
    out += ": ";
    out += value;
    out += '\n';
}

// How many entities use each layer group and each layer.
struct TUse {
    std::array<int, 16> groups{};
    std::array<int, 256> layers{};
    void Add(const TDavEntAttr& a) {
        if (a.LGrp >= 0 && a.LGrp < 16 && a.Lay >= 0 && a.Lay < 16) {
            ++groups[static_cast<size_t>(a.LGrp)];
            ++layers[static_cast<size_t>(a.LGrp * 16 + a.Lay)];
        }
    }
};

TUse CountUse(const TJGdata& jg) {
    TUse use;
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        const auto& list = K::ListOf(jg);
        const int n = std::min<int>(K::CountOf(jg), static_cast<int>(list.size()));
        for (int i = 0; i < n; ++i) {
            use.Add(list[static_cast<size_t>(i)].att);
        }
    });
    return use;
}

std::string TextType(int no, double w, double h, double d, int c) {
    return "type " + std::to_string(no) + " (width " + Text(w) + ", height " + Text(h) +
           ", spacing " + Text(d) + ", colour " + std::to_string(c) + ")";
}

// Counts the lines that hold something and the reader took as they are.
class TLineCount : public TDavReadSink {
public:
    void Line(std::u16string_view text) override {
        taken_ += pending_ ? 1 : 0;
        pending_ = text.find_first_not_of(u" \t") != std::u16string_view::npos;
    }
    void Finding(std::string_view) override { pending_ = false; }
    int Taken() const { return taken_ + (pending_ ? 1 : 0); }

private:
    int taken_ = 0;
    bool pending_ = false;
};

// The host's settings: drawing file, axis angle, sheet, scales, area and text types.
void HostSettings(std::string& out, const TJGdata& jg) {
    out += "\nHost settings\n";
    Line(out, "  Drawing file", Quote(jg.ZumenFile));
    Line(out, "  Axis angle", Text(jg.Jikukaku) + " degrees");
    Line(out, "  Sheet size", Text(jg.ZumenXsize) + " x " + Text(jg.ZumenYsize));
    Line(out, "  Sheet-unit mode", jg.Zusun ? "yes" : "no");
    std::string scales;
    for (size_t g = 0; g < jg.LGrpScale.size(); ++g) {
        scales += g ? " " : "";
        scales += Hex(static_cast<int>(g));
        scales += '=';
        scales += Text(jg.LGrpScale[g]);
    }
    Line(out, "  Layer-group scales", scales);
    if (jg.AreaX1 != 0 || jg.AreaY1 != 0 || jg.AreaX2 != 0 || jg.AreaY2 != 0) {
        Line(out, "  Area",
             "(" + Text(jg.AreaX1) + ", " + Text(jg.AreaY1) + ") - (" + Text(jg.AreaX2) + ", " +
                 Text(jg.AreaY2) + ")");
    }
    out += "  Text types:\n";
    for (size_t k = 1; k < jg.Mojisyu.size(); ++k) {
        const TDavMojisyu& m = jg.Mojisyu[k];
        out += "    " + TextType(static_cast<int>(k), m.W, m.H, m.D, m.C) + "\n";
    }
}

// One row of the layers in use: its number, its name when it has one, and its entities.
void UseRow(std::string& out, const char* what, int no, const std::u16string* name, int count) {
    out += what;
    out += Hex(no);
    if (name != nullptr) {
        out += ' ';
        out += Quote(*name);
    }
    out += ": " + std::to_string(count) + " entities\n";
}

// The layer groups and layers that entities use or that have a name.
void LayersInUse(std::string& out, const TJGdata& jg) {
    const TUse use = CountUse(jg);
    out += "  Layer groups and layers in use:\n";
    bool any = false;
    for (int g = 0; g < 16; ++g) {
        const auto gi = static_cast<size_t>(g);
        const bool named = gi < jg.LGrpName.size() && !jg.LGrpName[gi].empty();
        if (use.groups[gi] == 0 && !named) {
            continue;
        }
        any = true;
        UseRow(out, "    group ", g, named ? &jg.LGrpName[gi] : nullptr, use.groups[gi]);
        for (int l = 0; l < 16; ++l) {
            const auto li = static_cast<size_t>(g * 16 + l);
            const bool layNamed = li < jg.LayName.size() && !jg.LayName[li].empty();
            if (use.layers[li] == 0 && !layNamed) {
                continue;
            }
            UseRow(out, "      layer ", l, layNamed ? &jg.LayName[li] : nullptr, use.layers[li]);
        }
    }
    if (!any) {
        out += "    none\n";
    }
}

void CurrentAttributes(std::string& out, const TJGdata& jg) {
    out += "\nCurrent attributes\n";
    Line(out, "  Layer group", Hex(jg.CurLGrp));
    Line(out, "  Layer", Hex(jg.CurLay));
    Line(out, "  Colour", std::to_string(jg.CurCol));
    Line(out, "  Line type", std::to_string(jg.CurLtp));
    Line(out, "  Line width", std::to_string(jg.CurWid));
    Line(out, "  Text",
         jg.CurMjs >= 1 && jg.CurMjs <= 10
             ? "type " + std::to_string(jg.CurMjs)
             : TextType(jg.CurMjs, jg.CurMjsW, jg.CurMjsH, jg.CurMjsD, jg.CurMjsC));
    Line(out, "  Font", Quote(jg.CurFont));
}

void PickedPoints(std::string& out, const TJGdata& jg) {
    out += "\nPicked points\n";
    static constexpr const char* kHow[] = {"", " (-)", " (line)", " (circle)", " (text)"};
    bool any = false;
    for (size_t i = 1; i < jg.IPoints.size(); ++i) {
        const TDavIndPoint& p = jg.IPoints[i];
        if (!p.flg) {
            continue;
        }
        any = true;
        out += "  " + std::to_string(i) + ": (" + Text(p.x) + ", " + Text(p.y) + ")";
        out += (p.sta >= 0 && p.sta <= 4) ? kHow[p.sta] : "";
        out += '\n';
    }
    if (!any) {
        out += "  none\n";
    }
}

// The count of each kind that has entities, in the order of the kind table.
void EntityCounts(std::string& out, const TJGdata& jg) {
    out += "\nEntities: " + std::to_string(jg.EntN) + "\n";
    DavKinds::ForEachKind([&](auto k) {
        using K = decltype(k);
        const int n = K::CountOf(jg);
        if (n > 0) {
            char row[64];
            std::snprintf(row, sizeof row, "  %-8s %d\n", (std::string("Ent") + K::kName).c_str(),
                          n);
            out += row;
        }
    });
}

}  // namespace

std::optional<std::string> InfoOfFile(const std::string& path) {
    TJGdata jg;
    TLineCount lines;
    jg.SetReadSink(&lines);
    const std::string encoding = LoadHostFile(path, jg);
    jg.SetReadSink(nullptr);
    if (lines.Taken() == 0) {
        return std::nullopt;
    }
    return InfoText(jg, encoding);
}

std::string InfoText(const TJGdata& jg, const std::string& encoding) {
    std::string out;
    Line(out, "Encoding", EncodingLabel(encoding));
    HostSettings(out, jg);
    LayersInUse(out, jg);
    CurrentAttributes(out, jg);
    PickedPoints(out, jg);
    EntityCounts(out, jg);
    return out;
}
