// ZivDump: the model as JSON, written as it is walked: the settings, the current attributes,
// the picked points, the layer tables, then one line per entity in drawing order.
#include "ziv/ZivDump.h"

#include <string>
#include <string_view>
#include <type_traits>

#include "exchange/DavKinds.h"
#include "ziv/ZivFields.h"
#include "ziv/ZivJsonText.h"

namespace {

using ZivJson::AppendNumber;
using ZivJson::AppendString;

// The output is handed on in pieces of about this size.
constexpr size_t kPiece = size_t{1} << 16;

// Writes the fields of one record as members of the object being written.
class TMembers {
public:
    explicit TMembers(std::string& s) : s_(s) {}

    template <class T>
    void operator()(std::string_view name, const T& v) {
        Name(name);
        Value(v);
    }

    // The names are the fields' own, plain ASCII: written without escaping.
    void Name(std::string_view name) {
        if (!first_) {
            s_.push_back(',');
        }
        first_ = false;
        s_.push_back('"');
        s_.append(name);
        s_.append("\":");
    }

private:
    void Value(bool v) { s_.append(v ? "true" : "false"); }
    void Value(int v) { AppendNumber(s_, v); }
    void Value(double v) { AppendNumber(s_, v); }
    void Value(const std::u16string& v) { AppendString(s_, std::u16string_view(v)); }
    template <class R>
    void Value(const R& rec) {
        s_.push_back('{');
        TMembers inner(s_);
        ZivFields::Fields(rec, inner);
        s_.push_back('}');
    }

    std::string& s_;
    bool first_ = true;
};

class TDumper {
public:
    TDumper(const TJGdata& jg, TZivOutput& out) : jg_(jg), out_(out) {}

    void Run(std::string_view encoding);

private:
    void Piece() {
        if (s_.size() >= kPiece) {
            out_.Write(s_);
            s_.clear();
        }
    }
    void Settings();
    void Points();
    void Layers();
    void Entities();

    const TJGdata& jg_;
    TZivOutput& out_;
    std::string s_;
};

void TDumper::Run(std::string_view encoding) {
    s_.append("{\"format\":");
    AppendString(s_, kZivFormat);
    s_.append(",\"version\":");
    AppendNumber(s_, kZivFormatVersion);
    s_.append(",\"encoding\":");
    AppendString(s_, encoding);
    s_.append(",\n");
    Settings();
    Points();
    Layers();
    Entities();
    s_.append("}\n");
    out_.Write(s_);
    s_.clear();
}

void TDumper::Settings() {
    s_.append("\"settings\":{");
    TMembers m(s_);
    ZivFields::SettingFields(jg_, m);
    m.Name("LGrpScale");
    s_.push_back('[');
    for (size_t g = 0; g < jg_.LGrpScale.size(); ++g) {
        if (g > 0) {
            s_.push_back(',');
        }
        AppendNumber(s_, jg_.LGrpScale[g]);
    }
    s_.append("]");
    // Text types 1..10.
    m.Name("Mojisyu");
    s_.push_back('[');
    for (size_t k = 1; k < jg_.Mojisyu.size(); ++k) {
        if (k > 1) {
            s_.push_back(',');
        }
        s_.push_back('{');
        TMembers t(s_);
        ZivFields::Fields(jg_.Mojisyu[k], t);
        s_.push_back('}');
    }
    s_.append("]");
    // The colour table 1..356, without its trailing zeros.
    size_t last = jg_.RGB.size() - 1;
    while (last >= 1 && jg_.RGB[last] == 0) {
        --last;
    }
    m.Name("RGB");
    s_.push_back('[');
    for (size_t k = 1; k <= last; ++k) {
        if (k > 1) {
            s_.push_back(',');
        }
        AppendNumber(s_, jg_.RGB[k]);
    }
    s_.append("]},\n\"current\":{");
    TMembers c(s_);
    ZivFields::CurrentFields(jg_, c);
    s_.append("},\n");
}

void TDumper::Points() {
    s_.append("\"IPoints\":[");
    bool first = true;
    for (size_t i = 1; i < jg_.IPoints.size(); ++i) {
        const TDavIndPoint& p = jg_.IPoints[i];
        if (!p.flg) {
            continue;
        }
        s_.append(first ? "\n{" : ",\n{");
        first = false;
        TMembers m(s_);
        m("no", static_cast<int>(i));
        m("x", p.x);
        m("y", p.y);
        m("sta", p.sta);
        s_.push_back('}');
    }
    s_.append("],\n");
}

// Layer groups and layers that have a status or a name.
void TDumper::Layers() {
    s_.append("\"LGrp\":[");
    bool first = true;
    for (size_t g = 0; g < jg_.LGrpStat.size() && g < jg_.LGrpName.size(); ++g) {
        if (jg_.LGrpStat[g] == 0 && jg_.LGrpName[g].empty()) {
            continue;
        }
        s_.append(first ? "\n{" : ",\n{");
        first = false;
        TMembers m(s_);
        m("no", static_cast<int>(g));
        m("LGrpStat", jg_.LGrpStat[g]);
        m("LGrpName", jg_.LGrpName[g]);
        s_.push_back('}');
    }
    s_.append("],\n\"Lay\":[");
    first = true;
    for (size_t i = 0; i < jg_.LayStat.size() && i < jg_.LayName.size(); ++i) {
        if (jg_.LayStat[i] == 0 && jg_.LayName[i].empty()) {
            continue;
        }
        s_.append(first ? "\n{" : ",\n{");
        first = false;
        TMembers m(s_);
        m("LGrp", static_cast<int>(i / 16));
        m("Lay", static_cast<int>(i % 16));
        m("LayStat", jg_.LayStat[i]);
        m("LayName", jg_.LayName[i]);
        s_.push_back('}');
    }
    s_.append("],\n");
}

void TDumper::Entities() {
    s_.append("\"entities\":[");
    const int n = std::min<int>(jg_.EntN, static_cast<int>(jg_.EntNo.size()));
    bool first = true;
    for (int i = 0; i < n; ++i) {
        const TDavEntNo en = jg_.EntNo[static_cast<size_t>(i)];
        DavKinds::VisitKind(en.yn, [&](auto k) {
            using K = decltype(k);
            const typename K::Rec* e = K::At(jg_, en.no);
            if (e == nullptr) {
                return;
            }
            s_.append(first ? "\n{" : ",\n{");
            first = false;
            TMembers m(s_);
            m.Name("kind");
            s_.append("\"Ent");
            s_.append(K::kName);
            s_.push_back('"');
            m("code", K::kCode);
            m("index", en.no);
            ZivFields::Fields(*e, m);
            s_.push_back('}');
        });
        Piece();
    }
    s_.append("\n]");
}

}  // namespace

void DumpModel(const TJGdata& jg, std::string_view encoding, TZivOutput& out) {
    TDumper(jg, out).Run(encoding);
}
