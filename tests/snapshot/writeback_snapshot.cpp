// writeback_snapshot: a fingerprint of everything the exchange library makes of a set of host
// files, for checking that a change of its insides leaves every output as it was.
//
// For each input (the files named on the command line, and a number of generated host files)
// it records the model as read (ModelDump), the write-back without overrides, grouped and
// plain, a write-back with overrides, and the model rebuilt from the read one through the
// store's appenders (with the current and with explicit attributes), dumped and written back.
// Every record goes to the output, one input after another; two outputs compare with cmp.
//
//   scripts/writeback-snapshot.sh > before.txt   (then after the change: > after.txt)
//
// The generated host files are hostgen's MixedLines profile, seeded by their number.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>  // for the overrides
#include <string>
#include <type_traits>
#include <vector>

#include "exchange/DavGaibu.h"
#include "hostgen/HostGen.h"
#include "tests/unit/ModelDump.h"
#include "util/Platform.h"

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

std::uint64_t Fnv(const std::string& s) {
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

// ---- Generated host files: lines of every key with odd values among them, each file in the
// encoding and of the length its seed chooses.

THostFileRequest GeneratedRequest(int g) {
    THostFileRequest request;
    request.profile = THostProfile::MixedLines;
    request.entities = 0;
    request.encodingBySeed = true;
    request.seed = static_cast<std::uint32_t>(g) * 2654435761u;
    return request;
}

// ---- What each input gives.

std::string WriteBack(TJGdata& jg, bool grouped, const TDavOverrides& o) {
    jg.StopDavGaibu();
    jg.S_Init();
    if (grouped) {
        jg.S_EntAllp(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    } else {
        jg.S_EntAll(o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8);
    }
    return jg.TempFileBytes();
}

template <class T>
const T& Rec(const std::vector<T>& list, int no) {
    return list[static_cast<size_t>(no)];
}

// A round solid given as both kinds of its shape (circular: "sc" and "se"; ring: "so" and
// "sg"), with its own attributes or with the current ones.
template <class TLast, class T>
void BothKinds(TJGdata& dst, bool own, const T& e, TLast last,
               void (TJGdata::*firstAt)(TDavEntAttr, double, double, double, double, double, double,
                                        double, TLast),
               void (TJGdata::*secondAt)(TDavEntAttr, double, double, double, double, double,
                                         double, double, TLast),
               void (TJGdata::*first)(double, double, double, double, double, double, double,
                                      TLast),
               void (TJGdata::*second)(double, double, double, double, double, double, double,
                                       TLast)) {
    if (own) {
        (dst.*firstAt)(e.att, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
        (dst.*secondAt)(e.att, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
    } else {
        (dst.*first)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
        (dst.*second)(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, last);
    }
}

// The read model's entities given again through the store's appenders: every other entity
// with its own attributes, the others with the current attributes set from them.
class TRebuild {
public:
    TRebuild(const TJGdata& src, TJGdata& dst) : src_(src), dst_(dst) {}

    void Run() {
        dst_.Mojisyu = src_.Mojisyu;
        dst_.CurFont = src_.CurFont;
        dst_.MojiCode = src_.MojiCode;
        dst_.WidF = src_.WidF;
        dst_.Zusun = src_.Zusun;
        for (i_ = 0; i_ < src_.EntN; ++i_) {
            const TDavEntNo en = src_.EntNo[static_cast<size_t>(i_)];
            own_ = i_ % 2 == 0;
            Entity(en);
        }
    }

private:
    void SetCurrent(const TDavEntAttr& a) {
        dst_.A_LGrp(a.LGrp);
        dst_.A_Lay(a.Lay);
        dst_.A_Col(a.Col, i_ % 3 == 0 ? 1 : 0);
        dst_.A_Ltp(a.Ltp, i_ % 3 == 1 ? 1 : 0);
        dst_.A_Wid(a.Wid);
        dst_.A_Attr(a.Attr);
    }

    void Entity(TDavEntNo en) {
        switch (en.yn) {
            case kKindLine: Line(Rec(src_.EntLine, en.no)); break;
            case kKindCircle: Circle(Rec(src_.EntCirc, en.no)); break;
            case kKindArc: Arc(Rec(src_.EntArc, en.no)); break;
            case kKindText: Text(Rec(src_.EntText, en.no)); break;
            case kKindPoint: Point(Rec(src_.EntPnt, en.no)); break;
            case kKindMark: Mark(Rec(src_.EntMark, en.no)); break;
            case kKindDim: Dim(Rec(src_.EntDim, en.no)); break;
            case kKindSolid2: Solid2(Rec(src_.EntSld2, en.no)); break;
            case kKindSolid3: Solid3(Rec(src_.EntSld3, en.no)); break;
            case kKindSolid4: Solid4(Rec(src_.EntSld4, en.no)); break;
            case kKindSolidC: Round(Rec(src_.EntSldC, en.no)); break;
            case kKindSolidE: Round(Rec(src_.EntSldE, en.no)); break;
            case kKindSolidO: Round(Rec(src_.EntSldO, en.no)); break;
            case kKindSolidG: Round(Rec(src_.EntSldG, en.no)); break;
            default: break;
        }
    }

    void Line(const TDavEntLine& e) {
        if (own_) {
            dst_.A_Line(e.att, e.x1, e.y1, e.x2, e.y2);
        } else {
            SetCurrent(e.att);
            dst_.A_Line(e.x1, e.y1, e.x2, e.y2);
        }
    }
    void Circle(const TDavEntCircle& e) {
        own_ ? dst_.A_Circle(e.att, e.cx, e.cy, e.cr)
             : (SetCurrent(e.att), dst_.A_Circle(e.cx, e.cy, e.cr));
    }
    void Arc(const TDavEntArc& e) {
        own_ ? dst_.A_Arc(e.att, e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka)
             : (SetCurrent(e.att), dst_.A_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka));
    }
    void Text(const TDavEntText& e) {
        dst_.A_Mjs(e.cn, e.mw, e.mh, e.md, e.att.Col, i_ % 4 == 0 ? 1 : 0);
        dst_.A_Mbs(e.cc);
        dst_.A_Font(e.fo);
        own_ ? dst_.A_Text(e.att, e.no, e.x1, e.y1, e.x2, e.y2, e.st)
             : (SetCurrent(e.att), dst_.A_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st));
    }
    void Point(const TDavEntPnt& e) {
        dst_.A_PCol(e.att.Col, i_ % 3 == 0 ? 1 : 0);
        own_ ? dst_.A_Ten(e.att, e.px, e.py) : (SetCurrent(e.att), dst_.A_Ten(e.px, e.py));
    }
    void Mark(const TDavEntMark& e) {
        dst_.A_PCol(e.att.Col, 0);
        own_ ? dst_.A_Mark(e.att, e.px, e.py, e.bai, e.ang, e.cod)
             : (SetCurrent(e.att), dst_.A_Mark(e.px, e.py, e.bai, e.ang, e.cod));
    }
    void Dim(const TDavEntDim& e) {
        dst_.A_Mjs(e.txt.cn, e.txt.mw, e.txt.mh, e.txt.md, e.txt.att.Col, 0);
        dst_.A_Mbs(e.txt.cc);
        dst_.A_Font(e.txt.fo);
        const std::u16string m = i_ % 5 == 0 ? u"" : e.txt.st;
        own_ ? dst_.A_Dim(e.att, e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x1, e.txt.y1,
                          e.txt.x2, e.txt.y2, m)
             : (SetCurrent(e.lin.att), dst_.A_Dim(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x1,
                                                  e.txt.y1, e.txt.x2, e.txt.y2, m));
    }
    void Solid2(const TDavEntSld2& e) {
        i_ % 3 == 0 ? dst_.A_SColRGB(e.Color & 255, (e.Color >> 8) & 255, e.Color >> 16)
                    : dst_.A_SCol(e.Color);
        own_ ? dst_.A_Solid2(e.att, e.x1, e.y1, e.x2, e.y2)
             : (SetCurrent(e.att), dst_.A_Solid2(e.x1, e.y1, e.x2, e.y2));
    }
    void Solid3(const TDavEntSld3& e) {
        dst_.A_SCol(e.Color);
        own_ ? dst_.A_Solid3(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3)
             : (SetCurrent(e.att), dst_.A_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3));
        // The same corners as a quadrilateral with each pair made to coincide.
        dst_.A_Solid4(e.att, e.x1, e.y1, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
        dst_.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x1, e.y1, e.x3, e.y3);
        dst_.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x1, e.y1);
        dst_.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x2, e.y2, e.x3, e.y3);
        dst_.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x2, e.y2);
        dst_.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x3, e.y3);
    }
    void Solid4(const TDavEntSld4& e) {
        dst_.A_SCol(e.Color);
        own_ ? dst_.A_Solid4(e.att, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4)
             : (SetCurrent(e.att), dst_.A_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4));
    }
    // A round solid, given as both kinds of its shape.
    template <class T>
    void Round(const T& e) {
        dst_.A_SCol(e.Color);
        if (!own_) {
            SetCurrent(e.att);
        }
        if constexpr (std::is_same_v<T, TDavEntSldC>) {
            BothKinds<int>(dst_, own_, e, e.fl, &TJGdata::A_SolidC, &TJGdata::A_SolidD,
                           &TJGdata::A_SolidC, &TJGdata::A_SolidD);
        } else {
            BothKinds<double>(dst_, own_, e, e.ri, &TJGdata::A_SolidO, &TJGdata::A_SolidG,
                              &TJGdata::A_SolidO, &TJGdata::A_SolidG);
        }
    }

    const TJGdata& src_;
    TJGdata& dst_;
    int i_ = 0;
    bool own_ = false;
};

void Record(const std::string& name, const std::string& bytes, std::uint32_t seed, bool full) {
    std::string out;
    TJGdata jg;
    jg.OpenTempBytes(bytes);
    out += ModelDump::Dump(jg);
    out += "\n--allp\n" + WriteBack(jg, true, TDavOverrides{});
    out += "\n--all\n" + WriteBack(jg, false, TDavOverrides{});
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int k = 0; k < 2; ++k) {
        const TDavOverrides o{pick(-1, 16), pick(-1, 15), pick(0, 2) ? 10 : pick(-2, 12),
                              pick(-1, 5),  pick(-1, 3),  pick(-1, 9),
                              pick(-1, 9),  pick(-1, 300)};
        out += "\n--over\n" + WriteBack(jg, k == 0, o);
    }
    TJGdata re;
    re.S_Init();
    TRebuild(jg, re).Run();
    out += "\n--store\n" + ModelDump::Dump(re);
    out += "\n--store allp\n" + WriteBack(re, true, TDavOverrides{});
    if (full) {
        std::cout << "==== " << name << '\n' << out << '\n';
    } else {
        char h[32];
        std::snprintf(h, sizeof h, "%016llx", static_cast<unsigned long long>(Fnv(out)));
        std::cout << name << ' ' << out.size() << ' ' << h << '\n';
    }
}

}  // namespace

// Arguments: [--full] [--generated N] files or folders...
int main(int argc, char** argv) {
    Platform::SetDecimalSeparator(u'.');
    Platform::SetEscapeProbe({});
    bool full = false;
    int generated = 3000;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--full") {
            full = true;
        } else if (a == "--generated" && i + 1 < argc) {
            generated = std::stoi(argv[++i]);
        } else if (std::filesystem::is_directory(a)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(a)) {
                if (e.is_regular_file()) {
                    files.push_back(e.path());
                }
            }
            std::sort(files.begin(), files.end());
            inputs.insert(inputs.end(), files.begin(), files.end());
        } else {
            inputs.emplace_back(a);
        }
    }
    std::uint32_t seed = 0;
    for (const auto& p : inputs) {
        Record(p.generic_string(), ReadBytes(p), ++seed, full);
    }
    for (int g = 0; g < generated; ++g) {
        Record("generated " + std::to_string(g), GenerateHostFile(GeneratedRequest(g)), ++seed,
               full);
    }
    return 0;
}
